// vantrel_conv.cpp - the converter's life, the wizard's helpers over a temporary Access
// engine, and loading and saving profiles.
#include "conv/vantrel_conv.hpp"

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "udb/udb_db.hpp"
#include "udb/udb_prof.hpp"

vantrel_convertor::vantrel_convertor(conv_engines chosen)
    : acc_converter_impl(chosen.make_access_engine),
      mssql_converter_impl(chosen.make_mssql_engine()), engines(std::move(chosen)) {
    tk_trace::write(1, "vantrel_convertor::ctor");
    set_as_dbo(false);
}

vantrel_convertor::~vantrel_convertor() { tk_trace::write(2, "vantrel_convertor::dtor"); }

bool vantrel_convertor::test_query(const std::u16string& sql) {
    // The query dialog only needs yes or no; the reason is in the trace.
    try {
        std::unique_ptr<conv_access_engine> access = engines.make_access_engine();
        bool loaded = false;
        for (int key : ACCESS_ENGINE_KEYS) {
            if (access->set_version_if(key)) {
                loaded = true;
                break;
            }
        }
        if (!loaded) return false;
        access->set_ugl_info(workgroup_file, workgroup_user, workgroup_password);
        std::unique_ptr<udb_database> database = access->open_db(source, ACCESS_OPEN_CHECK,
                                                                 database_password);
        return database->test_query(sql);
    } catch (const std::exception& failure) {
        tk_trace::write(2, "vantrel_convertor::test_query failed: %s", failure.what());
        return false;
    }
}

void vantrel_convertor::get_all_tables(std::vector<std::u16string>& out) {
    tk_trace::write(2, "vantrel_convertor::get_all_tables");
    std::unique_ptr<conv_access_engine> access = start_access_engine("UGL info NOT found");
    std::unique_ptr<udb_database> database = access->open_db(source, ACCESS_OPEN_LIST,
                                                             database_password);
    out = database->tables;
}

bool vantrel_convertor::load(const std::string& path) {
    udb_profile profile;
    if (!profile.read(path)) {
        load_failure = profile.failure();
        return false;
    }
    if (load_profile(profile) && load_access_profile(profile) && load_mssql_profile(profile)) {
        return true;
    }
    load_failure = "its settings are not valid";
    return false;
}

bool vantrel_convertor::save(const std::string& path) const {
    udb_profile profile;
    if (!store_profile(profile) || !store_access_profile(profile)
        || !store_mssql_profile(profile)) {
        return false;
    }
    return profile.write(path);
}

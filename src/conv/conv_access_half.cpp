// conv_access_half.cpp - the Access half of the converter.
#include "conv/conv_access_half.hpp"

#include <charconv>

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_trim.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_db.hpp"
#include "udb/udb_prof.hpp"

namespace {

void load_if_set(const udb_profile& profile, const char16_t* key, std::u16string& field) {
    std::u16string value = profile.value(PROFILE_ACCESS, key);
    if (!value.empty()) field = value;
}

}   // namespace

acc_converter_impl::acc_converter_impl(std::function<std::unique_ptr<conv_access_engine>()> factory)
    : make_engine(std::move(factory)) {}

void acc_converter_impl::store_ugl_settings(const std::u16string& file, const std::u16string& user,
                                            const std::u16string& password) {
    // The password is not traced: logs are handed around with bug reports.
    tk_trace::write(2, u"acc_converter_impl::store_ugl_settings(%s,%s,***)", file, user);
    workgroup_file = tk_trim(file);
    workgroup_user = tk_trim(user);
    workgroup_password = tk_trim(password);
}

std::unique_ptr<conv_access_engine> acc_converter_impl::start_access_engine(
    const char* anonymous_trace) {
    std::unique_ptr<conv_access_engine> engine = make_engine();
    bool loaded = false;
    for (int key : ACCESS_ENGINE_KEYS) {
        if (engine->set_version_if(key)) {
            loaded = true;
            break;
        }
    }
    if (!loaded) throw tk_exception(DAO_MISSING_TEXT, ERROR_LEVEL_FATAL);
    if (code_page != 0) engine->set_code_page(code_page);
    if (!workgroup_file.empty() && !workgroup_user.empty()) {
        engine->set_ugl_info(workgroup_file, workgroup_user, workgroup_password);
    } else {
        tk_trace::write(2, "%s", anonymous_trace);
        engine->set_anonymous_sys_db();
    }
    return engine;
}

void acc_converter_impl::check_acc_base(const std::u16string& source,
                                        const std::u16string& password) {
    tk_trace::write(2, "acc_converter_impl::check_acc_base");
    TK_ASSERT(!source.empty());
    std::unique_ptr<conv_access_engine> engine = start_access_engine("UGL info NOT found");
    engine->open_db(source, ACCESS_OPEN_CHECK, password).reset();
}

bool acc_converter_impl::load_access_profile(const udb_profile& profile) {
    load_if_set(profile, u"workgroup file", workgroup_file);
    load_if_set(profile, u"workgroup user", workgroup_user);
    load_if_set(profile, u"workgroup password", workgroup_password);
    load_if_set(profile, u"database password", database_password);
    load_code_page(profile);
    return true;
}

void acc_converter_impl::load_code_page(const udb_profile& profile) {
    std::string text = tk_utf16_to_utf8(tk_trim(profile.value(PROFILE_VANTREL, u"code page")));
    if (text.empty()) return;
    unsigned number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number == 0
        || number > 0xFFFF) {
        // Reading on in another code page would turn the text into mojibake unannounced.
        throw tk_exception("Profile key 'code page' must be a code page number such as 936, "
                           "not '"
                               + text + "'.",
                           ERROR_LEVEL_FATAL);
    }
    code_page = std::uint16_t(number);
}

bool acc_converter_impl::store_access_profile(udb_profile& profile) const {
    profile.set(PROFILE_ACCESS, u"workgroup file", workgroup_file);
    profile.set(PROFILE_ACCESS, u"workgroup user", workgroup_user);
    profile.set(PROFILE_ACCESS, u"workgroup password", workgroup_password);
    profile.set(PROFILE_ACCESS, u"database password", database_password);
    if (code_page != 0)
        profile.set(PROFILE_VANTREL, u"code page", tk_utf8_to_utf16(std::to_string(code_page)));
    return true;
}

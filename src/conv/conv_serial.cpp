// conv_serial.cpp - the wizard's last-used settings under the current user's key, thirteen
// values in a fixed order: four flags, then nine texts. Reading starts from the defaults, and
// a value that is absent leaves its default.
#include "conv/vantrel_conv.hpp"

#include "tk/tk_regk.hpp"
#include "tk/tk_trace.hpp"

bool vantrel_convertor::serialize(bool store) {
    tk_trace::write(1, "serialize( %d )", store ? 1 : 0);
    tk_reg_key key(CONVERTER_REGISTRY_KEY);
    if (key.open(set_root::CURRENT_USER, CONVERTER_REGISTRY_KEY) != SET_ERROR_SUCCESS) {
        return false;
    }
    bool as_dbo = store ? mssql_engine().is_as_dbo() : true;
    if (!store) {
        b_skip_indexes = false;
        b_definitions_only = false;
        b_windows_authentication = true;
    }
    key.exchange("as_dbo", as_dbo, store);
    key.exchange("skip_idx", b_skip_indexes, store);
    key.exchange("tab_def", b_definitions_only, store);
    key.exchange("sec_log", b_windows_authentication, store);
    if (!store) set_as_dbo(as_dbo);
    key.exchange(u"src", source, store);
    key.exchange(u"dest", destination, store);
    key.exchange(u"mssqlh", host, store);
    key.exchange(u"mssqlp", password, store);
    key.exchange(u"mssqlu", user, store);
    key.exchange(u"acc_pswd", database_password, store);
    key.exchange(u"ugl_user", workgroup_user, store);
    key.exchange(u"ugl_password", workgroup_password, store);
    key.exchange(u"sys_db path", workgroup_file, store);
    return true;
}

#include "dump/dump_security.hpp"

#include "platform/jet/jet_error.hpp"
#include "platform/winbase/win_codepage.hpp"

#ifdef VANTREL_HAVE_WORKGROUP
#include "platform/workgroup/jet_workgroup.hpp"

void dump_check_workgroup(const dump_options& options) {
    jet_workgroup_logon(options.system_db, win_utf8_to_utf16(options.user),
                        win_utf8_to_utf16(options.user_password));
}
#else
void dump_check_workgroup(const dump_options&) {
    throw jet_error(3251, "Operation is not supported for this type of object.");
}
#endif

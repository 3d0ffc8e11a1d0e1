#include "dump/dump_security.hpp"

#include "platform/winbase/win_codepage.hpp"
#include "platform/workgroup/jet_workgroup.hpp"

void dump_check_workgroup(const dump_options& options) {
    jet_workgroup_logon(options.system_db, win_utf8_to_utf16(options.user),
                        win_utf8_to_utf16(options.user_password));
}

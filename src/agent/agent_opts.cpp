// agent_opts.cpp - parsing and applying the agent's options. Options act at once in
// command-line order, so a later one replaces an earlier value and a --profile= overwrites
// what stood before it. The connection options are gathered and applied after the walk, and
// only when no profile was loaded.
#include "agent/agent_opts.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "agent/agent_exit.hpp"
#include "agent/agent_help.hpp"
#include "agent/agent_tabf.hpp"
#include "conv/conv_errh.hpp"
#include "conv/vantrel_conv.hpp"
#include "mss/mss_name.hpp"
#include "tk/tk_cmdli.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

namespace {

enum agent_option : int {
    OPT_ACCP = 0,
    OPT_AS_DBO,
    OPT_DEST,
    OPT_HELP,
    OPT_LOGFILE,
    OPT_MODE,
    OPT_MSSQLH,
    OPT_MSSQLU,
    OPT_MSSQLP,
    OPT_SILENT,
    OPT_SKIP_IDX,
    OPT_SRC,
    OPT_SYSDB,
    OPT_TAB_DEF,
    OPT_TAB_FILE,
    OPT_UGLU,
    OPT_UGLP,
    OPT_PROFILE
};

// Matched in this order by prefix: a flag accepts anything behind its name.
const tk_cmdli_option AGENT_OPTIONS[] = {
    {OPT_ACCP, "--accp="},
    {OPT_AS_DBO, "--as_dbo"},
    {OPT_DEST, "--dest="},
    {OPT_HELP, "--help"},
    {OPT_LOGFILE, "--logfile="},
    {OPT_MODE, "--mode="},
    {OPT_MSSQLH, "--mssqlh="},
    {OPT_MSSQLU, "--mssqlu="},
    {OPT_MSSQLP, "--mssqlp="},
    {OPT_SILENT, "--silent"},
    {OPT_SKIP_IDX, "--skip_idx"},
    {OPT_SRC, "--src="},
    {OPT_SYSDB, "--sysdb="},
    {OPT_TAB_DEF, "--tab_def"},
    {OPT_TAB_FILE, "--tab_file="},
    {OPT_UGLU, "--uglu="},
    {OPT_UGLP, "--uglp="},
    {OPT_PROFILE, "--profile="},
    {0, ""},
};

// The options whose values are passwords: the log gets only their names.
constexpr int SECRET_OPTIONS[] = {OPT_ACCP, OPT_MSSQLP, OPT_UGLP};

// The argument as the log may show it: a secret option's value becomes "***".
std::string shown_argument(const std::string& argument) {
    for (const tk_cmdli_option& option : AGENT_OPTIONS) {
        if (std::find(std::begin(SECRET_OPTIONS), std::end(SECRET_OPTIONS), option.id)
            == std::end(SECRET_OPTIONS)) {
            continue;
        }
        if (argument.starts_with(option.name)) return std::string(option.name) + "***";
    }
    return argument;
}

constexpr const char* BAD_MODE_TEXT = "Invalid merge/overwrite mode";
constexpr const char* NO_SOURCE_TEXT = "You should enter source MS Access database name";
constexpr const char* NO_DEST_TEXT = "You should enter destination MS SQL database name";
constexpr const char* LONG_DEST_TEXT =
    "The destination MS SQL database name is longer than the 128 characters SQL Server allows";
constexpr const char* BAD_SYSDB_TEXT = "Not a valid MS Access workgroup information file";

// Values gathered during the walk and handed to the converter after it.
struct local_settings {
    std::u16string database_password;
    std::u16string host;
    std::u16string user;
    std::u16string password;
    std::u16string workgroup_file;
    std::u16string workgroup_user;
    std::u16string workgroup_password;
    bool b_from_profile = false;
};

// Only the plain decimal form of 0..3 is a mode: no sign, no leading zero, no blanks.
bool parse_mode(const std::string& text, long& mode) {
    char* end = nullptr;
    mode = std::strtol(text.c_str(), &end, 10);
    tk_trace::write(2, "\tgot mode %d", static_cast<int>(mode));
    return std::to_string(mode) == text && mode >= 0 && mode <= 3;
}

void apply_option(int option, const std::string& value, local_settings& local) {
    vantrel_convertor& converter = agent_converter();
    switch (option) {
    case OPT_ACCP: local.database_password = tk_utf8_to_utf16(value); break;
    case OPT_AS_DBO:
        tk_trace::write(2, "\tconnecting as DBO");
        converter.set_as_dbo(true);
        break;
    case OPT_DEST:
        tk_trace::write(1, "parse_cmd_line - got dest %s", value.c_str());
        converter.set_destination(tk_utf8_to_utf16(value));
        break;
    case OPT_HELP: exit_with_message(agent_help_text());
    case OPT_LOGFILE:
        tk_trace::write(1, "parse_cmd_line - got logfile %s", value.c_str());
        converter.set_logfile(value);
        break;
    case OPT_MODE: {
        long mode = 0;
        if (!parse_mode(value, mode)) exit_with_message(BAD_MODE_TEXT);
        converter.set_mode(static_cast<std::int32_t>(mode));
        break;
    }
    case OPT_MSSQLH: local.host = tk_utf8_to_utf16(value); break;
    case OPT_MSSQLU: local.user = tk_utf8_to_utf16(value); break;
    case OPT_MSSQLP: local.password = tk_utf8_to_utf16(value); break;
    case OPT_SILENT:
        tk_trace::write(1, "parse_cmd_line - silent mode is ON");
        converter.set_silent(true);
        error_handler::instance().set_silent(true);
        break;
    case OPT_SKIP_IDX:
        tk_trace::write(2, "\tskip converting indexes");
        converter.set_skip_indexes(true);
        break;
    case OPT_SRC:
        tk_trace::write(1, "parse_cmd_line - got src %s", value.c_str());
        converter.set_source(tk_utf8_to_utf16(value));
        break;
    case OPT_SYSDB: local.workgroup_file = tk_utf8_to_utf16(value); break;
    case OPT_TAB_DEF:
        tk_trace::write(2, "\tconvert table definitions only");
        converter.set_definitions_only(true);
        break;
    case OPT_TAB_FILE:
        tk_trace::write(2, "\tparse_cmd_line - got tab_file %s", value.c_str());
        process_tab_file(value);
        break;
    case OPT_UGLU: local.workgroup_user = tk_utf8_to_utf16(value); break;
    case OPT_UGLP: local.workgroup_password = tk_utf8_to_utf16(value); break;
    case OPT_PROFILE:
        tk_trace::write(1, "parse_cmd_line - got profile %s", value.c_str());
        local.b_from_profile = converter.load(value);
        // Going on without it would end in advice about a missing source, not the profile.
        if (!local.b_from_profile) {
            exit_with_message("Cannot read the profile '" + value
                              + "': " + converter.get_load_failure());
        }
        break;
    default: break;   // unrecognised: counted by the walker, answered with the help text
    }
}

// The connection settings of the command line, when no profile gave them.
void apply_local_settings(const local_settings& local) {
    vantrel_convertor& converter = agent_converter();
    bool windows_authentication = local.user.empty() && local.password.empty();
    converter.set_database_password(local.database_password);
    converter.set_windows_authentication(windows_authentication);
    converter.store_ugl_settings(local.workgroup_file, local.workgroup_user,
                                 local.workgroup_password);
    converter.set_host(local.host);
    converter.set_user(local.user);
    converter.set_password(local.password);
}

}   // namespace

bool parse_cmd_line(int argc, char** argv) {
    tk_trace::write(1, "parse_cmd_line");
    for (int arg_idx = 0; arg_idx < argc; ++arg_idx) {
        // Passwords stand on the command line.
        const std::string shown = shown_argument(argv[arg_idx]);
        tk_trace::write(1, "parameter #%d: %s", arg_idx, shown.c_str());
    }
    local_settings local;
    tk_cmdli walker(argc, argv, AGENT_OPTIONS);
    for (; walker.has_more(); walker.next()) {
        apply_option(walker.option_id(), walker.value(), local);
    }
    if (walker.unrecognised_count() != 0) return false;

    vantrel_convertor& converter = agent_converter();
    if (converter.get_source().empty()) exit_with_message(NO_SOURCE_TEXT);
    // Checked before connecting: a name the login record cannot take would leave the login in
    // its default database, and the run would write there.
    const std::u16string& destination = converter.get_destination();
    if (destination.find_first_not_of(u" \t") == std::u16string::npos) {
        exit_with_message(NO_DEST_TEXT);
    }
    if (destination.size() > MSS_MAX_NAME_CHARS) exit_with_message(LONG_DEST_TEXT);
    if (!local.workgroup_file.empty() && !converter.check_sysdb(local.workgroup_file)) {
        exit_with_message(BAD_SYSDB_TEXT);
    }
    if (!local.b_from_profile) apply_local_settings(local);
    return true;
}

void check_dest(const std::u16string& destination) {
    tk_trace::write(1, u"check_dest(%s)", destination);
    vantrel_convertor& converter = agent_converter();
    conv_mssql_engine& engine = converter.mssql_engine();
    if (engine.is_db_exist(destination) && converter.get_mode() == MODE_OVERWRITE_DATABASE) {
        engine.delete_db(destination);
    }
}

// jet_workgroup.cpp - finds and checks a workgroup account. The header test mirrors the DAO
// layer's workgroup check: the workgroup signature at 0x04 (jet_header.hpp) marks a workgroup
// file; the Access 1.x/2.0 marks are refused (3343) before the engine sees the file.
#include "platform/workgroup/jet_workgroup.hpp"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/jet/jet_database.hpp"
#include "platform/jet/jet_error.hpp"
#include "platform/jetcrypt/jet_header.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

constexpr std::size_t PROBE_SIZE = JET_ACCESS2_HEAD_SIZE;   // reaches the Access 2.0 marks
constexpr std::array<std::uint8_t, 8> EMPTY_PASSWORD_BLOCK = {0x69, 0x52, 0xAD, 0x67,
                                                              0xF3, 0xD5, 0xE1, 0xE6};
// SIDs of Jet's internal accounts, never a user's logon.
const std::vector<std::uint8_t> ENGINE_SID = {0x02, 0x03};
const std::vector<std::uint8_t> CREATOR_SID = {0x02, 0x04};

[[noreturn]] void throw_bad_account() {
    throw jet_error(JET_ERR_BAD_ACCOUNT, "Not a valid account name or password.");
}

[[noreturn]] void throw_unreadable(const std::string& path, const std::string& why) {
    throw jet_error(JET_ERR_WORKGROUP_UNREADABLE,
                    "Cannot open the workgroup information file '" + path + "': " + why);
}

[[noreturn]] void throw_invalid(const std::string& path, const std::string& why) {
    throw jet_error(JET_ERR_WORKGROUP_INVALID,
                    "'" + path + "' is not a valid workgroup information file: " + why);
}

// Reads the first bytes and refuses what is not a Jet 3 / Jet 4 workgroup file.
void check_workgroup_header(const std::string& path) {
    // Reading a FIFO waits for a writer: only a regular file can be a workgroup file.
    std::error_code ignored;
    std::filesystem::file_status status = std::filesystem::status(path, ignored);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw_unreadable(path, "it is not a regular file.");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw_unreadable(path, "the file cannot be opened.");
    std::vector<std::uint8_t> probe(PROBE_SIZE);
    in.read(reinterpret_cast<char*>(probe.data()), std::streamsize(probe.size()));
    probe.resize(std::size_t(in.gcount()));
    if (jet_has_access2_marks(probe)) {
        throw jet_error(JET_ERR_NOT_A_DATABASE,
                        "Unrecognized database format '" + path
                            + "': Access 1.x/2.0 workgroup files are not supported.");
    }
    if (probe.size() <= JET_OFFSET_SIGNATURE + JET_SIGNATURE_WORKGROUP.size()) {
        throw_unreadable(path, "the file is too short.");
    }
    if (jet_has_signature(probe, JET_SIGNATURE_WORKGROUP)) return;
    const bool is_database = jet_has_signature(probe, JET_SIGNATURE_JET)
                             || jet_has_signature(probe, JET_SIGNATURE_ACE);
    if (is_database) throw_invalid(path, "it is an Access database.");
    throw_unreadable(path, "it is not a Jet file.");
}

std::unique_ptr<jet_database> open_workgroup(const std::string& path) {
    try {
        return jet_database::open(path, u"");
    } catch (const jet_error& error) {
        throw_unreadable(path, error.what());
    }
}

struct account_columns {
    std::size_t name = 0;
    std::size_t sid = 0;
    std::size_t password = 0;
    std::size_t is_group = 0;
};

account_columns find_columns(const jet_table_def& definition, const std::string& path) {
    account_columns found;
    int seen = 0;
    for (std::size_t column_idx = 0; column_idx < definition.columns.size(); ++column_idx) {
        const std::u16string& name = definition.columns[column_idx].name;
        if (win_equal_ignore_case(name, u"Name")) found.name = column_idx, seen |= 1;
        if (win_equal_ignore_case(name, u"SID")) found.sid = column_idx, seen |= 2;
        if (win_equal_ignore_case(name, u"Password")) found.password = column_idx, seen |= 4;
        if (win_equal_ignore_case(name, u"FGroup")) found.is_group = column_idx, seen |= 8;
    }
    if (seen != 15) throw_invalid(path, "MSysAccounts lacks Name, SID, Password or FGroup.");
    return found;
}

// The stored bytes of a binary value; empty for null or another kind.
std::vector<std::uint8_t> bytes_of(const jet_value& value) {
    if (value.kind() != jet_value_kind::binary) return {};
    return value.get<std::vector<std::uint8_t>>();
}

bool is_empty_password_form(const std::vector<std::uint8_t>& stored) {
    if (stored.size() % EMPTY_PASSWORD_BLOCK.size() != 0) return false;
    for (std::size_t at = 0; at < stored.size(); at += EMPTY_PASSWORD_BLOCK.size()) {
        if (!std::equal(EMPTY_PASSWORD_BLOCK.begin(), EMPTY_PASSWORD_BLOCK.end(),
                        stored.begin() + std::ptrdiff_t(at))) {
            return false;
        }
    }
    return true;
}

bool is_true(const jet_value& value) {
    return value.kind() == jet_value_kind::boolean && value.get<bool>();
}

}   // namespace

jet_workgroup_account jet_workgroup_logon(const std::string& mdw_path, std::u16string_view user,
                                          std::u16string_view password) {
    check_workgroup_header(mdw_path);
    const std::unique_ptr<jet_database> database = open_workgroup(mdw_path);
    if (database->find_table(u"MSysAccounts") == nullptr) {
        throw_invalid(mdw_path, "it has no MSysAccounts table.");
    }
    const account_columns columns = find_columns(database->table_def(u"MSysAccounts"), mdw_path);
    const std::unique_ptr<jet_cursor> cursor = database->open_cursor(u"MSysAccounts");
    while (cursor->next()) {
        const std::vector<jet_value>& row = cursor->values();
        const jet_value& name = row[columns.name];
        if (name.kind() != jet_value_kind::text) continue;
        if (!win_equal_ignore_case(name.get<std::u16string>(), user)) continue;

        jet_workgroup_account account;
        account.name = name.get<std::u16string>();
        account.sid = bytes_of(row[columns.sid]);
        if (is_true(row[columns.is_group])) throw_bad_account();
        if (account.sid == ENGINE_SID || account.sid == CREATOR_SID) throw_bad_account();
        const bool is_stored_empty = is_empty_password_form(bytes_of(row[columns.password]));
        if (is_stored_empty != password.empty()) throw_bad_account();
        account.b_password_verified = is_stored_empty;
        return account;
    }
    throw_bad_account();
}

#pragma once
// jet_workgroup.hpp - logon to Access user-level security: checks a user name and password
// against the MSysAccounts table of a workgroup information file (.mdw), read through the
// Jet engine. What DAO's CreateWorkspace does with the SystemDB set.
//
// Password forms. MSysAccounts.Password holds the password enciphered in 8-byte blocks by
// Jet (16 bytes in Jet 3, 40 in Jet 4); the cipher is not public. One form is known: the
// empty password, every block 69 52 AD 67 F3 D5 E1 E6 (the same in every workgroup file,
// whatever the account's SID). Hence:
//   stored empty,   given empty     -> accepted, verified
//   stored empty,   given non-empty -> 3029, verified wrong
//   stored set,     given empty     -> 3029, verified wrong
//   stored set,     given non-empty -> accepted, NOT verified (b_password_verified false)
// A null Password value counts as the empty form.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// DAO error numbers of a logon, raised as jet_error.
inline constexpr int JET_ERR_BAD_ACCOUNT = 3029;            // "Not a valid account name or ..."
inline constexpr int JET_ERR_WORKGROUP_INVALID = 3173;      // a Jet file, no workgroup file
inline constexpr int JET_ERR_WORKGROUP_UNREADABLE = 3358;   // missing, unreadable or not Jet

struct jet_workgroup_account {
    std::u16string name;                // as stored (the case may differ from the one asked)
    std::vector<std::uint8_t> sid;      // MSysAccounts.SID
    bool b_password_verified = false;   // see the table above
};

// mdw_path: UTF-8. Throws jet_error: 3029 for an unknown account, a group, one of Jet's
// internal accounts (Engine, Creator) or a wrong password; 3173 for an Access database or a
// file without a usable MSysAccounts; 3358 for a missing, unreadable, corrupt or foreign
// file; 3343 for a workgroup file of Access 1.x/2.0. No text names the password.
jet_workgroup_account jet_workgroup_logon(const std::string& mdw_path, std::u16string_view user,
                                          std::u16string_view password);

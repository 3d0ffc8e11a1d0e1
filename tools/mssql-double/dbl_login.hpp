#pragma once
// dbl_login.hpp - PRELOGIN and LOGIN7. LOGIN7 (TDS 7.x, little-endian): 0 length, 4 TDS
// version, 8 packet size, 12..35 client data and flags (25 OptionFlags2: 0x02 fODBC, set by
// ODBC and OLE DB drivers, never by db-lib), then from 36 nine (offset, length in
// characters) pairs: host, user, password, app, server, extension, library, language,
// database; 72 client id; 78 SSPI; 82 attach file; 86 change password; 90 SSPI length.
// The password is UTF-16 with each byte's nibbles swapped and XORed with 0xA5.

#include "dbl_tds.hpp"

#include <optional>
#include <span>
#include <string>

struct dbl_login_request {
    std::uint32_t tds_version = 0;
    std::uint32_t packet_size = 4096;
    bool b_odbc = false;   // fODBC: the session starts with ODBC's SET options
    std::string host, user, app, server, library, language, database;
    std::string password;   // never logged
};

// nullopt when the payload is not a well-formed LOGIN7.
std::optional<dbl_login_request> dbl_parse_login7(std::span<const std::uint8_t> payload);
// Our PRELOGIN answer: version, encryption not supported, no instance, no MARS. nullopt when
// the client's option list is malformed.
std::optional<std::vector<std::uint8_t>> dbl_prelogin_reply(std::span<const std::uint8_t> payload,
                                                            int major, int minor, int build);

// conv_maps.hpp - the two message maps the error handler starts with: user texts for the
// Access engine's error codes (0x10000 | DAO number) and for the OLE DB codes
// (0x80000 | low word of the HRESULT). The support address is named once, here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "tk/tk_errco.hpp"

// Where users are sent for help; every message that names an address uses this one.
#define VANTREL_SUPPORT_EMAIL "support@vantrel.example"
inline constexpr const char* CONV_SUPPORT_EMAIL = VANTREL_SUPPORT_EMAIL;

using conv_message_entry = tk_error_pair;

// Access side: 7 entries; SQL Server side: 27 entries, in the order they are loaded.
std::span<const conv_message_entry> conv_access_messages();
std::span<const conv_message_entry> conv_mssql_messages();

// conv_maps.hpp - the two message maps the error handler starts with: user texts for the
// Access engine's error codes (0x10000 | DAO number) and for the OLE DB codes
// (0x80000 | low word of the HRESULT). Texts that name the support address take the
// toolkit's one address (TK_SUPPORT_ADDRESS).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "tk/tk_errco.hpp"

using conv_message_entry = tk_error_pair;

// Access side: 7 entries; SQL Server side: 27 entries, in the order they are loaded.
std::span<const conv_message_entry> conv_access_messages();
std::span<const conv_message_entry> conv_mssql_messages();

#pragma once
// jet_header_writer.hpp - page 0 of a new Jet 4 (.mdb) or ACE 12 (.accdb) file, as
// jet_pager and the independent readers read it (see jet_codec.hpp for the masked region):
//   0x00 4  00 01 00 00          0x04 16 "Standard Jet DB" / "Standard ACE DB", NUL
//   0x14 4  version: 1 Jet 4, 2 ACE 12
//   0x3C 2  code page 1252       0x3E 4  encoding key 0 (pages stored plainly)
//   0x42 40 password: empty, i.e. equal to the creation-date mask it is XORed with
//   0x6E 2  sort order 0x0409 (General)   0x72 8  creation date (OLE date)
// The region from 0x18 is then masked with the fixed RC4 key, as every reader expects.

#include <cstdint>
#include <vector>

#include "platform/jet/jet_database.hpp"

std::vector<std::uint8_t> jet_encode_header_page(jet_format format, double creation_date);

// The current time as an OLE date (days since 1899-12-30, UTC).
double jet_now_ole_date();

// dao_sysdb.hpp - dao_check_sysdb: whether a file is a workgroup information file, told by
// its first bytes alone (the file is not opened as a database).
//   Access 2.0:   file >= 1040 bytes with either Access 1.x/2.0 mark (jet_header.hpp)
//   Jet 3 and 4:  file > 20 bytes, the workgroup signature (jet_header.hpp) at 4
#pragma once

#include <string>

bool dao_check_sysdb(const std::string& path);   // UTF-8
bool dao_check_sysdb(const std::u16string& path);

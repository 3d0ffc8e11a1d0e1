// udb_engi.cpp - what both engines share: a database that is a file is deleted and tested as
// a file. The SQL Server engine overrides both for databases of an instance.
#include "udb/udb_db.hpp"

#include "tk/tk_fsys.hpp"
#include "tk/tk_utf.hpp"

void udb_engine::delete_db(const std::u16string& db_name) { tk_remove_file(db_name); }

bool udb_engine::is_db_exist(const std::u16string& db_name) {
    return tk_is_file_exist(tk_utf16_to_utf8(db_name), TK_ACCESS_READ);
}

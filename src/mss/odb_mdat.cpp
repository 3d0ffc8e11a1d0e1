// odb_mdat.cpp - opens a schema rowset and reads it through the recordset cursor.

#include "mss/odb_mdat.hpp"

#include "mss/odb_exce.hpp"
#include "platform/oledb/oledb_rowset.hpp"
#include "platform/oledb/oledb_session.hpp"
#include "tk/tk_utf.hpp"

namespace {

std::unique_ptr<oledb_rowset> open_schema(oledb_session& session, oledb_schema_kind kind,
                                          const std::u16string& owner,
                                          const std::u16string& table) {
    oledb_schema_restrictions where;
    where.schema = tk_utf16_to_utf8(owner);
    where.table = tk_utf16_to_utf8(table);
    std::unique_ptr<oledb_rowset> rowset;
    odb_check(session.schema_rowset(kind, where, rowset),
              "reading the catalogue of " + where.schema + "." + where.table);
    return rowset;
}

}   // namespace

odb_meta_data::odb_meta_data(oledb_session& session, oledb_schema_kind kind,
                             const std::u16string& owner, const std::u16string& table)
    : odb_recordset(u"schema", open_schema(session, kind, owner, table)) {}

#pragma once
// odb_mdat.hpp - schema rowsets as recordsets: tables of an owner, a table's primary key, the
// foreign keys that reference a table, and a table's indexes. Rows carry the OLE DB schema
// rowset columns in their documented order (PK_NAME 8th, INDEX_NAME 6th, FK_NAME 17th...).

#include "mss/odb_recs.hpp"
#include "platform/oledb/oledb_schema.hpp"

#include <string>

class odb_meta_data : public odb_recordset {
public:
    odb_meta_data(oledb_session& session, oledb_schema_kind kind, const std::u16string& owner,
                  const std::u16string& table);
};

class odb_tl_meta_data : public odb_meta_data {
public:
    odb_tl_meta_data(oledb_session& session, const std::u16string& owner)
        : odb_meta_data(session, oledb_schema_kind::TABLES, owner, u"") {}
};

class odb_pk_meta_data : public odb_meta_data {
public:
    odb_pk_meta_data(oledb_session& session, const std::u16string& owner,
                     const std::u16string& table)
        : odb_meta_data(session, oledb_schema_kind::PRIMARY_KEYS, owner, table) {}
};

// Restricted by the referenced (primary-key) table.
class odb_fk_meta_data : public odb_meta_data {
public:
    odb_fk_meta_data(oledb_session& session, const std::u16string& owner,
                     const std::u16string& table)
        : odb_meta_data(session, oledb_schema_kind::FOREIGN_KEYS, owner, table) {}
};

class odb_id_meta_data : public odb_meta_data {
public:
    odb_id_meta_data(oledb_session& session, const std::u16string& owner,
                     const std::u16string& table)
        : odb_meta_data(session, oledb_schema_kind::INDEXES, owner, table) {}
};

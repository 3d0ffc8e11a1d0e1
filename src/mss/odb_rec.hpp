#pragma once
// odb_rec.hpp - a row read from an OLE DB rowset: odb_record holds one udb_field per column,
// odb_field prints dates through ole_date. The static maps between OLE DB column types and
// variant types decide how columns are read (get_vartype) and created (get_oledb_type).

#include "platform/oledb/oledb_types.hpp"
#include "udb/udb_db.hpp"

#include <cstdint>
#include <memory>
#include <string>

class odb_field : public udb_field {
public:
    using udb_field::udb_field;
    std::u16string to_wstring() const override;
    std::string to_string() const override;
};

class odb_record : public udb_record {
public:
    static std::uint16_t get_vartype(std::uint16_t oledb_type);
    // `version_code` is the server's (mss_engine): 64-bit integers are bigint from SQL Server 2000
    // on.
    static std::uint16_t get_oledb_type(std::uint16_t vartype, int version_code);
    // The field of one column from its bound wide text (`b_null` for a non-OK status).
    static std::unique_ptr<udb_field> get_field(const oledb_column_info& column,
                                                const std::u16string& text, bool b_null);
    static std::unique_ptr<udb_field> get_blob_field(const oledb_column_info& column,
                                                     const std::string& bytes, bool b_null);
};

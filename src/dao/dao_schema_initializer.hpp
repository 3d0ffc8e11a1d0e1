// dao_schema_initializer.hpp - the columns of a new Access table from a source schema: each
// source column under a name Access takes (a safe replacement when it refuses the source
// name, recorded in the validator's names map), with the DAO type of the writing map, its
// size, Required, AllowZeroLength, the default value and the auto-increment attribute.
#pragma once

#include <string>

#include "dao/dao_vali.hpp"
#include "udb/udb_sche.hpp"

class DAOField;
class DAOTableDef;

class dao_schema_initializer : public udb_schema {
public:
    dao_schema_initializer(DAOTableDef& table_def, const udb_schema& source);

    // Creates and appends the fields to the table definition.
    void initialize();
    const t_names_map& get_names_map() const { return validator.names_map; }

    // A default as Access stores a text: between double quotes, or between apostrophes when
    // it holds a double quote; with both, its double quotes become apostrophes first.
    static std::u16string quote_def_value(const std::u16string& text);

private:
    void add_default(DAOField& field, const t_ftd& column);

    DAOTableDef& table_def;   // held by the caller while this lives
    dao_fn_validator validator;
};

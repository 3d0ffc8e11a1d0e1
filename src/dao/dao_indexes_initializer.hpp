// dao_indexes_initializer.hpp - the indexes of a new Access table from the source's: each
// under a name Access takes, over the columns' new names. An index of more than 10 columns
// or over a column Access cannot index (one that becomes Memo or Long Binary) is left out.
#pragma once

#include <vector>

#include "dao/dao_vali.hpp"
#include "udb/udb_idx.hpp"
#include "udb/udb_nmap.hpp"
#include "udb/udb_sche.hpp"

class DAOTableDef;

class dao_indexes_initializer {
public:
    dao_indexes_initializer(DAOTableDef& table_def, const udb_schema& new_schema,
                            const udb_indexes& source, const t_names_map& names_map);

    // Creates and appends the kept indexes to the table definition.
    void initialize();
    const std::vector<udb_index>& get_indexes() const { return kept; }

private:
    DAOTableDef& table_def;   // held by the caller while this lives
    std::vector<udb_index> kept;
    dao_in_validator validator;
};

// dao_vali.hpp - the Access destination's safe-name rules, over udb_validator: Access refuses
// the grave accent, the exclamation mark, square brackets and the full stop in a name, and a
// name that begins or ends with a space. The column and index validators count the source's
// own names as used.
#pragma once

#include <string>

#include "udb/udb_vali.hpp"

class udb_schema;
class udb_indexes;

// Access names: no grave accent, exclamation mark, square brackets or full stop, and no
// leading or trailing space.
class dao_validator : public udb_validator {
public:
    dao_validator();

    bool is_acceptable(const std::u16string& name) const override;
    std::u16string get_safe_name(const std::u16string& name) const override;
};

// Column names of a new Access table: the source's own column names count as used.
class dao_fn_validator : public dao_validator {
public:
    explicit dao_fn_validator(const udb_schema& source_schema);
};

// Index names of a new Access table: the source's own index names count as used.
class dao_in_validator : public dao_validator {
public:
    explicit dao_in_validator(const udb_indexes& source_indexes);
};

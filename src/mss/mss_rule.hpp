#pragma once
// mss_rule.hpp - mss_guid_rule: Access replication-ID (GUID) columns become 38-character
// Unicode text columns holding the braced GUID.

#include "udb/udb_rule.hpp"

class mss_guid_rule : public basic_guid_rule {
public:
    udb_column_desc& handle1_1(const t_ftd& column, udb_column_desc& desc) const override;
};

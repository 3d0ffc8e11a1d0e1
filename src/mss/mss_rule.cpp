// mss_rule.cpp - the column declaration of the GUID rule for SQL Server.

#include "mss/mss_rule.hpp"

#include "platform/oledb/oledb_types.hpp"
#include "tk/tk_trace.hpp"

namespace {

constexpr std::uint64_t BRACED_GUID_LENGTH = 38;

}   // namespace

udb_column_desc& mss_guid_rule::handle1_1(const t_ftd&, udb_column_desc& desc) const {
    tk_trace::write(1, "mss_guid_rule::handle(t_ftd)");
    desc.type = DBTYPE_WSTR;
    desc.column_size = BRACED_GUID_LENGTH;
    return desc;
}

// oledb_error_info.cpp - the per-thread error object of the provider stand-in.

#include "platform/oledb/oledb_error_info.hpp"

#include <utility>

namespace {

thread_local std::optional<oledb_error_info> current_error;

constexpr const char* PROVIDER_SOURCE = "Microsoft OLE DB Provider for SQL Server";

}   // namespace

void oledb_set_error_info(oledb_error_info info) { current_error = std::move(info); }

std::optional<oledb_error_info> oledb_take_error_info() {
    std::optional<oledb_error_info> taken = std::move(current_error);
    current_error.reset();
    return taken;
}

oledb_hresult oledb_fail(oledb_hresult hresult, const std::string& description) {
    oledb_error_record record;
    record.hresult = hresult;
    record.source = PROVIDER_SOURCE;
    record.description = description;
    oledb_set_error_info(oledb_error_info{{std::move(record)}});
    return hresult;
}

// odb_exce.cpp - builds odb_exception from the thread's error records, tracing each one.

#include "mss/odb_exce.hpp"

#include "platform/oledb/oledb_error_info.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

namespace {

constexpr std::int32_t ODB_CODE_BASE = 0x80000;
constexpr std::int32_t NO_TABLE_LOW_WORD = 0x0E37;

}   // namespace

std::int32_t odb_exception::code_of(oledb_hresult hresult) {
    return ODB_CODE_BASE | (static_cast<std::int32_t>(hresult) & 0xFFFF);
}

odb_exception::odb_exception(oledb_hresult hresult)
    : tk_exception(ERROR_LEVEL_RECOVERABLE), failing_hresult(hresult) {
    set_code(code_of(hresult));
    const std::optional<oledb_error_info> info = oledb_take_error_info();
    if (!info) {
        tk_trace::write(2, "dump_error: GetErrorInfo failed");
        set_message("");
        return;
    }
    tk_trace::write(2, "Got IErrorRecords");
    tk_trace::write(2, "Got %d record(s)", static_cast<int>(info->records.size()));
    int record_no = 0;
    for (const oledb_error_record& record : info->records) {
        tk_trace::write(2, "HRESULT:\t0x%08X", static_cast<unsigned>(record.hresult));
        tk_trace::write(2, "SQLSTATE:\t%s", record.sqlstate.c_str());
        tk_trace::write(2, "Native Error:\t%ld", static_cast<long>(record.native_error));
        const error_info_dispatcher dispatched(tk_utf8_to_utf16(record.source),
                                               tk_utf8_to_utf16(record.description));
        tk_trace::write(2, u"Source:\t\t%s\n", dispatched.first);
        tk_trace::write(2, u"Error message:\t%s", dispatched.second);
        set_message(record.description);
        source_name = dispatched.first;
        first_native_error = record.native_error;
        tk_trace::write(2, "Process %d record: msg=%s, source=%s", record_no++,
                        record.description.c_str(), record.source.c_str());
        if (!record.description.empty()) break;
    }
}

void odb_check(oledb_hresult hresult, const std::string& attempt) {
    if (oledb_succeeded(hresult)) return;
    odb_exception failure(hresult);
    tk_trace::write(3, "Error code: %08X while %s: %s", static_cast<unsigned>(hresult),
                    attempt.c_str(), failure.what());
    throw failure;
}

bool odb_is_missing_table(const tk_exception& failure) {
    return dynamic_cast<const odb_exception*>(&failure) != nullptr
           && (failure.code() & 0xFFFF) == NO_TABLE_LOW_WORD;
}

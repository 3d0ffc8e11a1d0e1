// mss_floa.cpp - batches of the bulk load.

#include "mss/mss_floa.hpp"

#include "mss/odb_exce.hpp"
#include "platform/oledb/oledb_session.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

namespace {

constexpr const char* MSS_FLOA_SOURCE = "mss_floa";
constexpr int FAULT_FAST_LOAD_OPENED_TWICE = 36;
constexpr int FAULT_FAST_LOAD_SESSION_MISSING = 37;

}   // namespace

mss_fast_load::mss_fast_load() { tk_trace::write(2, "mss_fast_load::ctor"); }

mss_fast_load::~mss_fast_load() = default;

void mss_fast_load::open_table(oledb_session* session, const std::u16string& table_id) {
    if (loader) throw tk_mail_assertion(MSS_FLOA_SOURCE, FAULT_FAST_LOAD_OPENED_TWICE);
    if (session == nullptr) {
        throw tk_mail_assertion(MSS_FLOA_SOURCE, FAULT_FAST_LOAD_SESSION_MISSING);
    }
    tk_trace::write(1, "mss_fast_load::open_table");
    const oledb_hresult opened = session->open_fast_load(tk_utf16_to_utf8(table_id), loader);
    if (oledb_failed(opened)) {
        tk_trace::write(3, "open_rowset->OpenRowset failed: %08X", static_cast<unsigned>(opened));
        odb_check(opened, "opening the bulk load of " + tk_utf16_to_utf8(table_id));
    }
    row.assign(loader->columns().size(), oledb_bulk_value{});
    bound_columns = 0;
}

std::size_t mss_fast_load::column_count() const { return row.size(); }

void mss_fast_load::bind_data(std::size_t column_idx, oledb_bulk_value&& value) {
    if (column_idx == 0) bound_columns = 0;   // a row left unsent before is started again
    TK_ASSERT(column_idx == bound_columns && column_idx < row.size());
    tk_trace::write(2, "mss_fast_load::BindData(%d,%d,%d)", static_cast<int>(column_idx),
                    static_cast<int>(value.index()), 0);
    row[column_idx] = std::move(value);
    ++bound_columns;
}

// The row's values stay until the next row overwrites every one of them: clearing them
// after each row would cost as much as binding them.
void mss_fast_load::insert_data() {
    TK_ASSERT(loader != nullptr && bound_columns == row.size());
    tk_trace::write(1, "mss_fast_load::insert_data");
    bound_columns = 0;
    const oledb_hresult inserted = loader->insert_row(row);
    if (oledb_failed(inserted)) abandon_batch(inserted);
    ++in_batch;
}

void mss_fast_load::commit_batch() {
    TK_ASSERT(loader != nullptr);
    const oledb_hresult committed = loader->commit(false);
    if (oledb_failed(committed)) {
        tk_trace::write(3, "m_spFastLoad->Commit failed: %08X", static_cast<unsigned>(committed));
        abandon_batch(committed);
    }
    in_batch = 0;
}

void mss_fast_load::abandon_batch(oledb_hresult failure) {
    // The server rolls the whole batch back; say how much is gone, and let the next row
    // start a new bulk load rather than fail against this one.
    tk_trace::write(3, "Bulk load failed: the %d rows since the last commit are not loaded",
                    static_cast<int>(in_batch));
    in_batch = 0;
    loader.reset();
    tk_trace::write(3, "Error code: %08X", static_cast<unsigned>(failure));
    throw odb_exception(failure);
}

void mss_fast_load::finish_load() {
    if (!loader) return;
    tk_trace::write(1, "mss_fast_load::FinishLoad");
    const oledb_hresult committed = loader->commit(true);
    if (oledb_failed(committed)) {
        if (in_batch > 0) abandon_batch(committed);
        // Nothing was pending, so nothing is lost: a load that ends with no row since its
        // last commit is not a failure the user has to hear about.
        tk_trace::write(2, "Ending a bulk load with no pending row failed: %08X",
                        static_cast<unsigned>(committed));
    }
    loader.reset();
    in_batch = 0;
}

// oledb_fast_load.cpp - rows to bcp. Each value is bound with the host type of its kind right
// before bcp_sendrow (bcp_bind may change between rows): integers as SYBINT8, doubles as
// SYBFLT8, money as SYBMONEY, timestamps as SYBDATETIME, decimals and text as SYBCHAR, bytes
// as SYBBINARY; db-lib converts to the column's type. Character data passes byte for byte,
// so Unicode columns are given UTF-16LE (an odd UTF-8 length was refused as an invalid
// column length, and any other text came out as garbage).

#include "platform/oledb/oledb_fast_load.hpp"

#include "platform/oleaut/oleaut_calendar.hpp"
#include "platform/oledb/oledb_session.hpp"

#include <cstring>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#define MSDBLIB 1
#include <sybdb.h>
#include <sybfront.h>

namespace {

constexpr int SECONDS_PER_DAY = 86400;
constexpr int TICKS_PER_SECOND = 300;   // datetime keeps time in 1/300 s

// Days from 1900-01-01 (datetime's day 0) to a civil date; negative before it.
std::int32_t days_since_1900(int year, int month, int day) {
    static const std::int64_t DAY_OF_1900 = day_number(civil_date{1900, 1, 1});
    return std::int32_t(day_number(civil_date{year, month, day}) - DAY_OF_1900);
}

DBDATETIME to_dbdatetime(const DBTIMESTAMP& value) {
    DBDATETIME result{};
    result.dtdays = days_since_1900(value.year, value.month, value.day);
    const std::int64_t milliseconds = (std::int64_t(value.hour) * 3600 + value.minute * 60
                                       + value.second)
                                          * 1000
                                      + value.fraction / 1000000;
    std::int64_t ticks = (milliseconds * TICKS_PER_SECOND + 500) / 1000;
    if (ticks >= std::int64_t(SECONDS_PER_DAY) * TICKS_PER_SECOND) {
        ticks -= std::int64_t(SECONDS_PER_DAY) * TICKS_PER_SECOND;
        ++result.dtdays;
    }
    result.dttime = static_cast<DBINT>(ticks);
    return result;
}

// Fills a column's kept value in place: its storage keeps its capacity from row to row.
struct value_binder {
    int& host_type;
    std::int32_t& length;
    std::string& storage;

    template <class T>
    void fixed(int type, const T& value) const {
        host_type = type;
        length = -1;
        storage.assign(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void variable(int type, const std::string& bytes) const {
        host_type = type;
        length = static_cast<DBINT>(bytes.size());
        storage = bytes;
    }

    void operator()(std::monostate) const {
        host_type = SYBCHAR;
        length = 0;
        storage.clear();
    }
    void operator()(std::int64_t value) const { fixed(SYBINT8, value); }
    void operator()(double value) const { fixed(SYBFLT8, value); }
    void operator()(bool value) const { fixed(SYBINT8, std::int64_t(value ? 1 : 0)); }
    void operator()(const oledb_money& value) const {
        DBMONEY money{};
        const auto bits = static_cast<std::uint64_t>(value.ten_thousandths);
        money.mnyhigh = static_cast<DBINT>(static_cast<std::uint32_t>(bits >> 32));
        money.mnylow = static_cast<DBUINT>(bits & 0xFFFFFFFFu);
        fixed(SYBMONEY, money);
    }
    void operator()(const DBTIMESTAMP& value) const { fixed(SYBDATETIME, to_dbdatetime(value)); }
    void operator()(const oledb_text& value) const { variable(SYBCHAR, value.utf8); }
    void operator()(const oledb_wide_text& value) const {
        host_type = SYBCHAR;
        length = static_cast<DBINT>(value.utf16.size() * 2);
        storage.clear();
        for (const char16_t unit : value.utf16) {
            storage.push_back(static_cast<char>(unit & 0xFF));
            storage.push_back(static_cast<char>(unit >> 8));
        }
    }
    void operator()(const oledb_bytes& value) const { variable(SYBBINARY, value.bytes); }
};

}   // namespace

oledb_fast_load::oledb_fast_load(oledb_session& owner, std::vector<oledb_column_info> columns)
    : session(owner), column_list(std::move(columns)) {}

oledb_fast_load::~oledb_fast_load() {
    // A load nobody committed is ended so the connection can be used again; the rows of the
    // unfinished batch are the caller's loss, which commit() would have reported.
    if (b_open && !dbdead(session.handle())) bcp_done(session.handle());
}

oledb_hresult oledb_fast_load::open(oledb_session& session, const std::string& table_id,
                                    const std::vector<oledb_column_info>& columns,
                                    std::unique_ptr<oledb_fast_load>& out) {
    std::unique_ptr<oledb_fast_load> loader(new oledb_fast_load(session, columns));
    session.messages().clear();
    if (bcp_init(session.handle(), table_id.c_str(), nullptr, nullptr, DB_IN) != SUCCEED) {
        return session.messages().publish("The bulk load could not start.");
    }
    loader->b_open = true;
    // Without KEEP_NULLS the server puts a column's default in place of every NULL sent, so
    // a nullable column with DEFAULT 0 would read 0 where the source had no value. NOT NULL
    // columns never receive a NULL: the caller substitutes their default itself.
    static char keep_nulls[] = "KEEP_NULLS";
    if (bcp_options(session.handle(), BCPHINTS, reinterpret_cast<BYTE*>(keep_nulls),
                    static_cast<int>(sizeof keep_nulls - 1))
        != SUCCEED) {
        return session.messages().publish("The bulk load could not keep NULL values.");
    }
    if (bcp_control(session.handle(), BCPKEEPIDENTITY, 1) != SUCCEED) {
        return session.messages().publish("Identity values cannot be kept by the bulk load.");
    }
    out = std::move(loader);
    return OLEDB_S_OK;
}

bool oledb_fast_load::can_send(const std::vector<oledb_bulk_value>& row) {
    for (const oledb_bulk_value& value : row) {
        if (const auto* text = std::get_if<oledb_text>(&value); text && text->utf8.empty()) {
            return false;
        }
        if (const auto* wide = std::get_if<oledb_wide_text>(&value); wide && wide->utf16.empty()) {
            return false;
        }
        if (const auto* bytes = std::get_if<oledb_bytes>(&value); bytes && bytes->bytes.empty()) {
            return false;
        }
    }
    return true;
}

oledb_hresult oledb_fast_load::insert_row(const std::vector<oledb_bulk_value>& row) {
    if (!b_open) return oledb_fail(OLEDB_E_UNEXPECTED, "The bulk load has ended.");
    if (row.size() != column_list.size() || !can_send(row)) {
        return oledb_fail(OLEDB_E_INVALIDARG, "The row does not fit the bulk-load columns.");
    }
    values.resize(row.size());
    bindings.resize(row.size());
    session.messages().clear();
    for (std::size_t column_idx = 0; column_idx < row.size(); ++column_idx) {
        bound_value& value = values[column_idx];
        std::visit(value_binder{value.host_type, value.length, value.storage}, row[column_idx]);
        const oledb_hresult bound = bind_column(column_idx);
        if (oledb_failed(bound)) return bound;
    }
    if (bcp_sendrow(session.handle()) != SUCCEED) {
        return session.messages().publish("The bulk load could not send a row.");
    }
    if (!b_sending_as_filled) send_as_filled();
    return OLEDB_S_OK;
}

// db-lib keeps its socket corked and uncorks it only for the last packet of a message, so a
// whole batch of rows waited in the kernel until bcp_batch: on a local server (loopback
// holds up to 64 KiB) the server stored nothing while we encoded, and we then waited while
// it stored everything. Uncorked after the batch's first row (the statement that opens the
// batch has gone by then), each full packet leaves as it is filled; TCP_NODELAY is already
// set, and db-lib corks again at the batch's end. A failure only costs that overlap.
void oledb_fast_load::send_as_filled() {
    b_sending_as_filled = true;
#ifdef TCP_CORK
    const int socket = dbiordesc(session.handle());
    const int off = 0;
    if (socket >= 0) setsockopt(socket, IPPROTO_TCP, TCP_CORK, &off, sizeof off);
#endif
}

oledb_hresult oledb_fast_load::bind_column(std::size_t column_idx) {
    bound_value& value = values[column_idx];
    binding& last = bindings[column_idx];
    BYTE* address = reinterpret_cast<BYTE*>(value.storage.data());
    if (last.address == address && last.host_type == value.host_type
        && last.length == value.length) {
        return OLEDB_S_OK;
    }
    last = binding{};   // a failed bind leaves db-lib's binding unknown: make it again
    if (bcp_bind(session.handle(), address, 0, value.length, nullptr, 0, value.host_type,
                 static_cast<int>(column_idx + 1))
        != SUCCEED) {
        return session.messages().publish("A bulk-load value cannot be bound.");
    }
    last = binding{address, value.host_type, value.length};
    return OLEDB_S_OK;
}

oledb_hresult oledb_fast_load::commit(bool b_done) {
    if (!b_open) return OLEDB_S_OK;
    session.messages().clear();
    DBPROCESS* dbproc = session.handle();
    const DBINT rows = b_done ? bcp_done(dbproc) : bcp_batch(dbproc);
    b_sending_as_filled = false;
    if (b_done) b_open = false;
    if (rows < 0 || !session.messages().errors.empty()) {
        b_open = false;
        return session.messages().publish("The bulk load could not commit its rows.");
    }
    committed += rows;
    return OLEDB_S_OK;
}

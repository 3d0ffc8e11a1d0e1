#pragma once
// oledb_fast_load.hpp - IRowsetFastLoad over db-lib's bcp: InsertRow sends one row
// (bcp_sendrow), Commit(FALSE) ends a batch (bcp_batch), Commit(TRUE) ends the load
// (bcp_done). Identity values in the rows are kept (BCPKEEPIDENTITY).
//
// db-lib's bcp reads a zero-length value as NULL, so an empty text or binary value cannot
// travel by bulk load; `can_send` tells the caller, who writes such a row another way.

#include "platform/oledb/oledb_types.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

class oledb_session;

// DBTIMESTAMP: the fraction is in nanoseconds.
struct DBTIMESTAMP {
    std::int16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint32_t fraction = 0;
};

struct oledb_money {
    std::int64_t ten_thousandths = 0;   // the CY representation
};

// Text for a char/varchar column, UTF-8.
struct oledb_text {
    std::string utf8;
};

// Text for an nchar/nvarchar/ntext column. db-lib's bcp converts no character set: it sends
// the host bytes as they are, so Unicode columns get their UTF-16LE bytes, ready made.
struct oledb_wide_text {
    std::u16string utf16;
};

struct oledb_bytes {
    std::string bytes;
};

using oledb_bulk_value = std::variant<std::monostate, std::int64_t, double, bool, oledb_money,
                                      DBTIMESTAMP, oledb_text, oledb_wide_text, oledb_bytes>;

class oledb_fast_load {
public:
    static oledb_hresult open(oledb_session& session, const std::string& table_id,
                              const std::vector<oledb_column_info>& columns,
                              std::unique_ptr<oledb_fast_load>& out);
    ~oledb_fast_load();
    oledb_fast_load(const oledb_fast_load&) = delete;
    oledb_fast_load& operator=(const oledb_fast_load&) = delete;

    const std::vector<oledb_column_info>& columns() const { return column_list; }
    // False when a value is an empty text or empty byte string (see above).
    static bool can_send(const std::vector<oledb_bulk_value>& row);
    // One value per column, in column order.
    oledb_hresult insert_row(const std::vector<oledb_bulk_value>& row);
    // Commit(FALSE): the rows sent so far become durable. Commit(TRUE): the load ends.
    oledb_hresult commit(bool b_done);
    std::int64_t rows_committed() const { return committed; }

private:
    oledb_fast_load(oledb_session& owner, std::vector<oledb_column_info> columns);

    // The bytes and host type one column's value is bound with. Kept from row to row: db-lib
    // reads a bound variable again at every bcp_sendrow, so a column is bound again only when
    // its address, length or type changed, and its storage is refilled rather than remade.
    struct bound_value {
        int host_type = 0;         // db-lib's SYBCHAR, SYBINT8, ...; 0 before the first bind
        std::int32_t length = 0;   // 0 NULL, -1 fixed-size
        std::string storage;
    };
    struct binding {
        const void* address = nullptr;
        int host_type = 0;
        std::int32_t length = 0;
    };
    oledb_hresult bind_column(std::size_t column_idx);
    void send_as_filled();

    oledb_session& session;
    std::vector<oledb_column_info> column_list;
    std::int64_t committed = 0;
    bool b_open = false;
    bool b_sending_as_filled = false;   // since the batch's first row (send_as_filled)
    std::vector<bound_value> values;    // per column, the row being sent
    std::vector<binding> bindings;      // per column, what db-lib was last given
};

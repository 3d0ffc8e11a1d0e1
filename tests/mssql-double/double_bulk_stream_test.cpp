// double_bulk_stream_test.cpp - a bulk-load message stored as its packets arrive: rows cut
// by a packet boundary at any offset arrive whole, an error found in the first packet is
// answered only after the last one and the connection goes on, a short last row is 4815,
// a connection lost in the middle of the message keeps nothing of its batch, and two
// connections can load at once. The message bytes are written by hand from [MS-TDS]
// (COLMETADATA 2.2.7.4, ROW 2.2.7.19, PLP 2.2.5.2.3); SQL Server's answers are its
// documented errors 2627 and 4815.
#include "double_client.hpp"
#include "double_raw_client.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

using double_test::batch;
using double_test::error_numbers;
using double_test::fresh_database;
using double_test::last_done_count;
using double_test::last_done_status;
using double_test::put_u16;
using double_test::put_u32;
using double_test::raw_socket;

namespace {

constexpr std::uint8_t PACKET_SQL_BATCH = 0x01;
constexpr std::uint8_t PACKET_BULK = 0x07;
constexpr int DONE_ERROR = 0x02;

const char* const TABLE_COLUMNS = "(id int NOT NULL, name nvarchar(20) NULL, "
                                  "note nvarchar(max) NULL, amount float NULL)";
const char* const KEYED_COLUMNS = "(id int NOT NULL CONSTRAINT PK_t PRIMARY KEY, "
                                  "name nvarchar(20) NULL, note nvarchar(max) NULL, "
                                  "amount float NULL)";
const char16_t* const INSERT_BULK = u"insert bulk t (id int, name nvarchar(20), "
                                    u"note nvarchar(max), amount float)";

void put_text(std::vector<std::uint8_t>& out, const std::u16string& text) {
    for (char16_t unit : text) put_u16(out, unit);
}

void put_u64(std::vector<std::uint8_t>& out, std::uint64_t value) {
    put_u32(out, std::uint32_t(value));
    put_u32(out, std::uint32_t(value >> 32));
}

// COLMETADATA as a bcp client sends it: user type, flags (bit 0 nullable), TYPE_INFO, name.
std::vector<std::uint8_t> metadata() {
    std::vector<std::uint8_t> out = {0x81};
    put_u16(out, 4);
    auto column = [&out](std::uint16_t flags, std::vector<std::uint8_t> type_info,
                         const std::u16string& name) {
        put_u32(out, 0);
        put_u16(out, flags);
        out.insert(out.end(), type_info.begin(), type_info.end());
        out.push_back(std::uint8_t(name.size()));
        put_text(out, name);
    };
    const std::vector<std::uint8_t> collation = {0x09, 0x04, 0xD0, 0x00, 0x34};
    std::vector<std::uint8_t> name_type = {0xE7, 40, 0};   // NVARCHAR, 40 bytes
    name_type.insert(name_type.end(), collation.begin(), collation.end());
    std::vector<std::uint8_t> note_type = {0xE7, 0xFF, 0xFF};   // NVARCHAR(max): PLP
    note_type.insert(note_type.end(), collation.begin(), collation.end());
    column(0, {0x26, 4}, u"id");   // INTN of 4 bytes
    column(1, name_type, u"name");
    column(1, note_type, u"note");
    column(1, {0x6D, 8}, u"amount");   // FLTN of 8 bytes
    return out;
}

struct sample_row {
    std::int32_t id;
    const char16_t* name;                // nullptr: NULL
    std::vector<std::u16string> note;    // PLP chunks; empty: NULL
    std::optional<std::uint64_t> bits;   // the float's IEEE 754 bits
    std::string name_text, note_text;    // as db-lib reads them back
};

const std::vector<sample_row>& sample_rows() {
    static const std::vector<sample_row> rows = {
        {1, u"ab", {u"x"}, 0x3FF8000000000000, "ab", "x"},   // 1.5
        {2, nullptr, {u"hel", u"lo"}, std::nullopt, "NULL", "hello"},
        {3, u"Zo\u00EB", {}, 0xC000000000000000, "Zo\xC3\xAB", "NULL"},   // -2.0
    };
    return rows;
}

void put_row(std::vector<std::uint8_t>& out, const sample_row& row) {
    out.push_back(0xD1);
    out.push_back(4);
    put_u32(out, std::uint32_t(row.id));
    if (row.name) {
        put_u16(out, std::char_traits<char16_t>::length(row.name) * 2);
        put_text(out, row.name);
    } else {
        put_u16(out, 0xFFFF);
    }
    if (row.note.empty()) {
        put_u64(out, ~std::uint64_t(0));   // PLP NULL
    } else {
        std::size_t total = 0;
        for (const auto& chunk : row.note) total += chunk.size() * 2;
        put_u64(out, total);
        for (const auto& chunk : row.note) {
            put_u32(out, std::uint32_t(chunk.size() * 2));
            put_text(out, chunk);
        }
        put_u32(out, 0);   // PLP terminator
    }
    if (row.bits) {
        out.push_back(8);
        put_u64(out, *row.bits);
    } else {
        out.push_back(0);
    }
}

// The metadata and the sample rows with their ids moved by `id_offset`; `row_starts` gets
// where each row begins.
std::vector<std::uint8_t> bulk_message(std::int32_t id_offset = 0,
                                       std::vector<std::size_t>* row_starts = nullptr) {
    std::vector<std::uint8_t> out = metadata();
    for (sample_row row : sample_rows()) {
        row.id += id_offset;
        if (row_starts) row_starts->push_back(out.size());
        put_row(out, row);
    }
    return out;
}

// A raw connection in `database`, ready to send a bulk-load message into its table t.
class bulk_client {
public:
    explicit bulk_client(const std::string& database) : socket(double_test::fixture_port()) {
        b_ready = socket.connected() && socket.log_in(database);
    }
    bool ready() const { return b_ready; }
    // Announces the load; true when the double took "insert bulk".
    bool announce() {
        socket.send_packet(PACKET_SQL_BATCH, batch(INSERT_BULK));
        int status = last_done_status(socket.receive_message());
        return status >= 0 && (status & DONE_ERROR) == 0;
    }
    std::vector<std::uint8_t> load(const std::vector<std::uint8_t>& message,
                                   const std::vector<std::size_t>& cuts) {
        if (!announce()) return {};
        socket.send_message(PACKET_BULK, message, cuts);
        return socket.receive_message();
    }

    raw_socket socket;

private:
    bool b_ready = false;
};

std::string cell_text(const double_test::cell& value) { return value.b_null ? "NULL" : value.text; }

// A float as db-lib hands it over: its eight bytes, little-endian; none for NULL.
std::vector<unsigned char> float_bytes(const std::optional<std::uint64_t>& bits) {
    std::vector<unsigned char> bytes;
    for (int i = 0; bits && i < 8; ++i) bytes.push_back((unsigned char)(*bits >> (8 * i)));
    return bytes;
}

}   // namespace

TEST(DoubleBulkStream, StoresRowsCutByPacketsAtEveryOffset) {
    auto db = fresh_database("dbl_stream_cuts");
    ASSERT_TRUE(db);
    db->run(std::string("CREATE TABLE t ") + TABLE_COLUMNS);
    bulk_client client("dbl_stream_cuts");
    ASSERT_TRUE(client.ready());
    const std::vector<std::uint8_t> message = bulk_message();
    std::vector<std::vector<std::size_t>> cut_lists;
    for (std::size_t cut = 1; cut < message.size(); ++cut) cut_lists.push_back({cut});
    std::vector<std::size_t> every_byte;   // a packet per byte: each row spans many
    for (std::size_t cut = 1; cut < message.size(); ++cut) every_byte.push_back(cut);
    cut_lists.push_back(every_byte);
    cut_lists.push_back({0, 0, message.size()});   // empty packets before and after
    for (const auto& cuts : cut_lists) {
        std::vector<std::uint8_t> reply = client.load(message, cuts);
        ASSERT_EQ(last_done_status(reply), 0x10) << "cut at " << cuts.front();
        ASSERT_EQ(last_done_count(reply), 3u) << "cut at " << cuts.front();
    }
    auto r = db->run("SELECT id, name, note, amount FROM t");
    ASSERT_EQ(r.sets.at(0).rows.size(), 3 * cut_lists.size());
    std::map<std::string, int> seen;
    for (const auto& row : r.sets[0].rows) {
        const sample_row& expected = sample_rows().at(std::size_t(std::stoi(row.at(0).text) - 1));
        ASSERT_EQ(cell_text(row.at(1)), expected.name_text) << expected.id;
        ASSERT_EQ(cell_text(row.at(2)), expected.note_text) << expected.id;
        ASSERT_EQ(row.at(3).raw, float_bytes(expected.bits)) << expected.id;
        ++seen[row[0].text];
    }
    EXPECT_EQ(seen, (std::map<std::string, int>{{"1", int(cut_lists.size())},
                                                {"2", int(cut_lists.size())},
                                                {"3", int(cut_lists.size())}}));
}

TEST(DoubleBulkStream, AnswersAnEarlyErrorOnlyAfterTheLastPacket) {
    auto db = fresh_database("dbl_stream_error");
    ASSERT_TRUE(db);
    db->run(std::string("CREATE TABLE t ") + KEYED_COLUMNS);
    bulk_client client("dbl_stream_error");
    ASSERT_TRUE(client.ready());
    ASSERT_TRUE(client.announce());
    // The first packet holds row 1 twice: a duplicate key, found before the rest is sent.
    std::vector<std::uint8_t> first = bulk_message();
    put_row(first, sample_rows()[0]);
    client.socket.send_packet(PACKET_BULK, first, false);
    EXPECT_FALSE(client.socket.reply_pending(300));   // TDS answers the whole message
    client.socket.send_packet(PACKET_BULK, std::vector<std::uint8_t>(600, 0xEE), false);
    std::vector<std::uint8_t> last;
    put_row(last, sample_rows()[1]);
    client.socket.send_packet(PACKET_BULK, last, true);
    std::vector<std::uint8_t> reply = client.socket.receive_message();
    EXPECT_EQ(error_numbers(reply), std::vector<std::int32_t>{2627});
    EXPECT_EQ(last_done_status(reply) & DONE_ERROR, DONE_ERROR);
    // The message was read to its end: the connection takes the next load whole.
    reply = client.load(bulk_message(10), {40, 41, 90});
    EXPECT_EQ(last_done_count(reply), 3u);
    auto r = db->run("SELECT id FROM t ORDER BY id");
    ASSERT_EQ(r.sets.at(0).rows.size(), 3u);   // nothing of the refused batch
    EXPECT_EQ(r.sets[0].rows[0][0].text, "11");
}

TEST(DoubleBulkStream, RefusesAShortLastRowWith4815AndStoresNothing) {
    auto db = fresh_database("dbl_stream_short");
    ASSERT_TRUE(db);
    db->run(std::string("CREATE TABLE t ") + TABLE_COLUMNS);
    bulk_client client("dbl_stream_short");
    ASSERT_TRUE(client.ready());
    std::vector<std::size_t> starts;
    const std::vector<std::uint8_t> whole = bulk_message(0, &starts);
    // Cut in the float of the last row; cut in the PLP chunk of row 2, whose length then
    // claims bytes the message does not have.
    std::vector<std::vector<std::uint8_t>> shorts = {
        std::vector<std::uint8_t>(whole.begin(), whole.end() - 3),
        std::vector<std::uint8_t>(whole.begin(), whole.begin() + std::ptrdiff_t(starts[1] + 20)),
    };
    for (const auto& message : shorts) {
        std::vector<std::uint8_t> reply = client.load(message, {starts[0] + 5, starts[1] + 2});
        EXPECT_EQ(error_numbers(reply), std::vector<std::int32_t>{4815});
        EXPECT_EQ(last_done_status(reply) & DONE_ERROR, DONE_ERROR);
    }
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "0");
}

TEST(DoubleBulkStream, ConnectionLostMidMessageKeepsNothingOfTheBatch) {
    auto db = fresh_database("dbl_stream_lost");
    ASSERT_TRUE(db);
    db->run(std::string("CREATE TABLE t ") + KEYED_COLUMNS);
    {
        bulk_client client("dbl_stream_lost");
        ASSERT_TRUE(client.ready());
        ASSERT_TRUE(client.announce());
        client.socket.send_packet(PACKET_BULK, bulk_message(), false);
        // Time for the double to store the three rows before the client goes away.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "0");
    bulk_client again("dbl_stream_lost");   // the same keys load: none were kept
    ASSERT_TRUE(again.ready());
    EXPECT_EQ(last_done_count(again.load(bulk_message(), {})), 3u);
}

TEST(DoubleBulkStream, TwoConnectionsLoadTheirOwnTablesAtOnce) {
    auto db = fresh_database("dbl_stream_two");
    ASSERT_TRUE(db);
    db->run(std::string("CREATE TABLE t ") + TABLE_COLUMNS);
    auto other = fresh_database("dbl_stream_two_b");
    ASSERT_TRUE(other);
    other->run(std::string("CREATE TABLE t ") + TABLE_COLUMNS);
    bulk_client first("dbl_stream_two");
    bulk_client second("dbl_stream_two_b");
    ASSERT_TRUE(first.ready() && second.ready());
    ASSERT_TRUE(first.announce());
    std::vector<std::size_t> starts;
    const std::vector<std::uint8_t> message = bulk_message(0, &starts);
    first.socket.send_packet(
        PACKET_BULK, std::vector<std::uint8_t>(message.begin(), message.begin() + 50), false);
    // The second load waits for the first message to end, then goes through whole.
    std::vector<std::uint8_t> second_reply;
    std::thread loader([&] { second_reply = second.load(bulk_message(100), {starts[2]}); });
    first.socket.send_packet(PACKET_BULK,
                             std::vector<std::uint8_t>(message.begin() + 50, message.end()), true);
    std::vector<std::uint8_t> first_reply = first.socket.receive_message();
    loader.join();
    EXPECT_EQ(last_done_count(first_reply), 3u);
    EXPECT_EQ(last_done_count(second_reply), 3u);
    EXPECT_EQ(db->run("SELECT MAX(id) FROM t").first(), "3");
    EXPECT_EQ(other->run("SELECT MAX(id) FROM t").first(), "103");
}

// Bulk rows are stored several to a statement; a refused row must still be the one named,
// the first failure in row order must be the one reported, and a batch that is not a
// multiple of that number must arrive whole.
TEST(DoubleBulkStream, NamesTheRowAtFaultAmongRowsStoredTogether) {
    auto db = fresh_database("dbl_stream_together");
    ASSERT_TRUE(db);
    db->run("CREATE TABLE t (id int NOT NULL CONSTRAINT PK_t PRIMARY KEY, "
            "name nvarchar(20) NULL, note nvarchar(max) NULL, amount float NOT NULL)");
    bulk_client client("dbl_stream_together");
    ASSERT_TRUE(client.ready());
    // Rows 1..count with ids 1..count, then the changes asked for: {row, id} and rows whose
    // amount is NULL.
    const auto message = [](int count, std::map<int, int> ids, std::vector<int> null_amounts) {
        std::vector<std::uint8_t> out = metadata();
        for (int row = 1; row <= count; ++row) {
            const bool null_amount = std::find(null_amounts.begin(), null_amounts.end(), row)
                                     != null_amounts.end();
            sample_row sample{
                ids.count(row) ? ids[row] : row, u"n", {}, 0x3FF8000000000000, "", ""};
            if (null_amount) sample.bits.reset();
            put_row(out, sample);
        }
        return out;
    };
    const auto says = [](const std::vector<std::uint8_t>& reply, const std::u16string& text) {
        std::vector<std::uint8_t> bytes;
        for (char16_t unit : text) put_u16(bytes, unit);
        return std::search(reply.begin(), reply.end(), bytes.begin(), bytes.end()) != reply.end();
    };
    // Row 77 repeats a key stored in an earlier statement of the batch.
    std::vector<std::uint8_t> reply = client.load(message(120, {{77, 5}}, {}), {});
    EXPECT_EQ(error_numbers(reply), std::vector<std::int32_t>{2627});
    EXPECT_TRUE(says(reply, u"The duplicate key value is (5).")) << "row 77 not named";
    // Row 60 repeats row 55 within one statement's rows; row 70, later, is NULL where the
    // column is NOT NULL: the duplicate comes first, as row by row.
    reply = client.load(message(100, {{60, 55}}, {70}), {});
    EXPECT_EQ(error_numbers(reply), std::vector<std::int32_t>{2627});
    EXPECT_TRUE(says(reply, u"The duplicate key value is (55).")) << "row 60 not named";
    reply = client.load(message(100, {}, {70}), {});
    EXPECT_EQ(error_numbers(reply), std::vector<std::int32_t>{515});
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "0");
    reply = client.load(message(123, {}, {}), {});
    EXPECT_EQ(last_done_count(reply), 123u);
    EXPECT_EQ(db->run("SELECT COUNT(*) FROM t").first(), "123");
    EXPECT_EQ(db->run("SELECT SUM(id) FROM t").first(), "7626");
}

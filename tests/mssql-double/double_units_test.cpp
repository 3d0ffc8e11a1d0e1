// double_units_test.cpp - the double's own pieces without a connection: date parsing and
// rounding, decimal scaling, the tokenizer's quoting rules, and the bulk-row reader against
// truncated and mutated input (it must answer with an error, never read past the end), the
// bulk stream over packets cut anywhere, text conversions, PRELOGIN and LOGIN7 parsing, and
// the command line.
#include "dbl_bulk_stream.hpp"
#include "dbl_bytes.hpp"
#include "dbl_convert.hpp"
#include "dbl_date.hpp"
#include "dbl_error.hpp"
#include "dbl_lexer.hpp"
#include "dbl_login.hpp"
#include "dbl_number.hpp"
#include "dbl_options.hpp"
#include "dbl_tds.hpp"
#include "dbl_text.hpp"

#include <gtest/gtest.h>

#include <random>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

TEST(DoubleDateParse, SortsSyntaxFromRange) {
    dbl_civil civil;
    EXPECT_EQ(dbl_parse_date("20240229 13:05:09.123", civil), dbl_date_parse::OK);
    EXPECT_EQ(civil.fraction_hns, 1230000);
    EXPECT_EQ(dbl_parse_date(" 2024-02-29T13:05 ", civil), dbl_date_parse::OK);
    EXPECT_EQ(dbl_parse_date("02/29/2024", civil), dbl_date_parse::OK);
    EXPECT_EQ(civil.month, 2);
    EXPECT_EQ(dbl_parse_date("20230229", civil), dbl_date_parse::RANGE);   // not a leap year
    EXPECT_EQ(dbl_parse_date("2024-01-01 24:00:00", civil), dbl_date_parse::RANGE);
    EXPECT_EQ(dbl_parse_date("2024-01-01 12", civil), dbl_date_parse::SYNTAX);
    EXPECT_EQ(dbl_parse_date("yesterday", civil), dbl_date_parse::SYNTAX);
}

TEST(DoubleDatetimeTicks, RoundsAndRefusesOutsideTheRange) {
    dbl_civil civil;
    dbl_parse_date("17530101", civil);
    ASSERT_TRUE(dbl_datetime_ticks(civil));
    dbl_parse_date("17521231 23:59:59.999", civil);
    EXPECT_FALSE(dbl_datetime_ticks(civil));
    dbl_parse_date("19000101 00:00:00.005", civil);
    EXPECT_EQ(*dbl_datetime_ticks(civil), 2);   // .005 s is 1.5 ticks: rounds to .007
    EXPECT_EQ(dbl_format_datetime(2), "1900-01-01 00:00:00.007");
    EXPECT_EQ(dbl_format_datetime(-1), "1899-12-31 23:59:59.997");
}

TEST(DoubleDecimal, ParsesRescalesAndFormats) {
    auto parsed = dbl_parse_decimal("-0012.340");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->scale, 3);
    EXPECT_EQ(parsed->precision, 5);
    EXPECT_EQ(dbl_format_decimal(dbl_rescale(parsed->unscaled, 3, 1), 1), "-12.3");
    EXPECT_EQ(dbl_rescale(125, 2, 1), 13);   // half away from zero
    EXPECT_EQ(dbl_rescale(-125, 2, 1), -13);
    EXPECT_EQ(dbl_format_decimal(5, 3), "0.005");
    EXPECT_FALSE(dbl_parse_decimal("1e5"));
    EXPECT_FALSE(dbl_parse_decimal("123456789012345678901234567890123456789"));   // 39 digits
    EXPECT_EQ(dbl_format_float(0.1, false), "0.1");
    EXPECT_EQ(dbl_format_float(double(0.1f), true), "0.1");
}

TEST(DoubleLexer, ReadsQuotedNamesAndStrings) {
    auto tokens = dbl_lex(u"SELECT [a]]b], N'it''s', \"q\" -- note\n/* x /* y */ */ 0x0A", false);
    ASSERT_GE(tokens.size(), 8u);
    EXPECT_EQ(tokens[1].kind, dbl_token_kind::QUOTED_NAME);
    EXPECT_EQ(tokens[1].utf8, "a]b");
    EXPECT_EQ(tokens[3].kind, dbl_token_kind::NSTRING);
    EXPECT_EQ(tokens[3].text, u"it's");
    EXPECT_EQ(tokens[5].kind, dbl_token_kind::STRING);   // QUOTED_IDENTIFIER OFF
    EXPECT_EQ(tokens[6].kind, dbl_token_kind::BINARY);
    EXPECT_EQ(tokens[6].line, 2);
    EXPECT_EQ(dbl_lex(u"\"q\"", true)[0].kind, dbl_token_kind::QUOTED_NAME);
    try {
        dbl_lex(u"SELECT [open", false);
        FAIL() << "an unclosed bracket was accepted";
    } catch (const dbl_sql_error& error) {
        EXPECT_EQ(error.number, 105);
    }
}

TEST(DoubleConvert, AppliesSqlServersImplicitRules) {
    dbl_typed text{dbl_make_type(dbl_kind::VARCHAR, 10), dbl_bytes_value(" 42 ")};
    EXPECT_EQ(dbl_convert(text, dbl_make_type(dbl_kind::INT), {}).integer, 42);
    dbl_typed fraction{dbl_make_type(dbl_kind::NUMERIC, 0, 5, 2), dbl_int(0)};
    fraction.value.decimal = -199;   // -1.99 becomes -1: decimal to int truncates
    EXPECT_EQ(dbl_convert(fraction, dbl_make_type(dbl_kind::INT), {}).integer, -1);
    dbl_typed guid{dbl_make_type(dbl_kind::VARCHAR, 38),
                   dbl_bytes_value("{6f9619ff-8b86-d011-b42d-00c04fc964ff}")};
    dbl_value wire = dbl_convert(guid, dbl_make_type(dbl_kind::GUID), {});
    EXPECT_EQ(dbl_guid_text(wire.bytes), "6F9619FF-8B86-D011-B42D-00C04FC964FF");
    dbl_typed big{dbl_make_type(dbl_kind::BIGINT), dbl_int(5000000000)};
    try {
        dbl_convert(big, dbl_make_type(dbl_kind::INT), {});
        FAIL() << "5000000000 fitted an int";
    } catch (const dbl_sql_error& error) {
        EXPECT_EQ(error.number, 8115);
    }
}

namespace {

// A bulk message: one int and one nvarchar(4) column, then one row (7, N'ab').
std::vector<std::uint8_t> bulk_sample() {
    dbl_writer w;
    w.u8(0x81);
    w.u16_le(2);
    dbl_result_column id{"id", dbl_make_type(dbl_kind::INT), true, false, false, {}};
    dbl_result_column name{"n", dbl_make_type(dbl_kind::NVARCHAR, 4), true, false, false, {}};
    for (const auto* column : {&id, &name}) {
        w.u32_le(0);
        w.u16_le(1);
        dbl_write_type_info(w, *column);
        w.b_varchar(u"c");
    }
    w.u8(0xD1);
    dbl_write_value(w, id.type, dbl_int(7), 0);
    dbl_write_value(w, name.type, dbl_wide_value(u"ab"), 0);
    return w.bytes;
}

// Reads the sample as the bulk loader does; true when the whole row came through.
bool read_sample(std::span<const std::uint8_t> bytes) {
    dbl_reader r(bytes);
    r.u8();
    std::size_t count = r.u16_le();
    std::vector<dbl_wire_column> columns;
    for (std::size_t i = 0; i < count; ++i) columns.push_back(dbl_read_wire_column(r, int(i + 1)));
    if (r.u8() != 0xD1) return false;
    for (std::size_t i = 0; i < columns.size(); ++i) dbl_read_value(r, columns[i], int(i + 1));
    return true;
}

}   // namespace

TEST(DoubleBulkCodec, ReadsWhatItWritesAndRejectsTruncation) {
    std::vector<std::uint8_t> sample = bulk_sample();
    EXPECT_TRUE(read_sample(sample));
    for (std::size_t size = 0; size < sample.size(); ++size) {
        std::vector<std::uint8_t> cut(sample.begin(), sample.begin() + std::ptrdiff_t(size));
        EXPECT_THROW(read_sample(cut), dbl_short_input) << "cut at " << size;
    }
}

TEST(DoubleBulkCodecFuzz, SurvivesMutatedMessages) {
    std::vector<std::uint8_t> sample = bulk_sample();
    std::mt19937 random(20261207);
    for (int round = 0; round < 20000; ++round) {
        std::vector<std::uint8_t> mutated = sample;
        int flips = 1 + int(random() % 4);
        for (int i = 0; i < flips; ++i) mutated[random() % mutated.size()] = std::uint8_t(random());
        try {
            read_sample(mutated);
        } catch (const dbl_short_input&) {
        } catch (const dbl_sql_error& error) {
            EXPECT_TRUE(error.number == 4815 || error.number == 4816) << error.number;
        }
    }
}

namespace {

// Packets written into one end of a socket pair for a stream reading the other.
class packet_feed {
public:
    packet_feed() { b_open = ::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0; }
    ~packet_feed() {
        close_writer();
        ::close(fds[0]);
    }
    packet_feed(const packet_feed&) = delete;
    packet_feed& operator=(const packet_feed&) = delete;

    bool is_open() const { return b_open; }
    int reading_end() const { return fds[0]; }
    void packet(std::uint8_t type, std::span<const std::uint8_t> body, bool b_last) {
        std::size_t length = body.size() + 8;
        std::vector<std::uint8_t> bytes = {type,
                                           std::uint8_t(b_last ? 1 : 0),
                                           std::uint8_t(length >> 8),
                                           std::uint8_t(length),
                                           0,
                                           0,
                                           1,
                                           0};
        bytes.insert(bytes.end(), body.begin(), body.end());
        ASSERT_EQ(::write(fds[1], bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // `message` as bulk-load packets of `size` bytes each.
    void bulk_packets(const std::vector<std::uint8_t>& message, std::size_t size) {
        for (std::size_t at = 0; at < message.size(); at += size) {
            std::size_t part = std::min(size, message.size() - at);
            packet(7, std::span(message).subspan(at, part), at + part == message.size());
        }
    }
    void close_writer() {
        if (fds[1] >= 0) ::close(fds[1]);
        fds[1] = -1;
    }

private:
    int fds[2] = {-1, -1};
    bool b_open = false;
};

// The sample's columns and its row's values, read through the stream as the loader does.
std::vector<dbl_value> stream_sample(dbl_bulk_stream& stream) {
    std::vector<dbl_wire_column> columns;
    stream.read_whole([&](dbl_reader& r) {
        columns.clear();
        r.u8();
        std::size_t count = r.u16_le();
        for (std::size_t i = 0; i < count; ++i)
            columns.push_back(dbl_read_wire_column(r, int(i + 1)));
    });
    std::vector<dbl_value> values(columns.size());
    stream.read_whole([&](dbl_reader& r) {
        EXPECT_EQ(r.u8(), 0xD1);
        for (std::size_t i = 0; i < columns.size(); ++i)
            values[i] = dbl_read_value(r, columns[i], int(i + 1));
    });
    return values;
}

}   // namespace

TEST(DoubleBulkStreamReader, ReadsRowsCutIntoPacketsOfAnySize) {
    const std::vector<std::uint8_t> sample = bulk_sample();
    for (std::size_t size = 1; size <= sample.size(); ++size) {
        packet_feed feed;
        ASSERT_TRUE(feed.is_open());
        feed.bulk_packets(sample, size);
        feed.packet(1, std::vector<std::uint8_t>{0x41}, true);   // the next message
        dbl_packet_io io(feed.reading_end());
        auto first = io.read_header();
        ASSERT_TRUE(first);
        dbl_bulk_stream stream(io, *first);
        std::vector<dbl_value> values = stream_sample(stream);
        ASSERT_EQ(values.size(), 2u);
        EXPECT_EQ(values[0].integer, 7) << "packets of " << size;
        EXPECT_EQ(values[1].wide, u"ab") << "packets of " << size;
        EXPECT_TRUE(stream.at_end());
        auto next = io.read_header();   // the stream read its message and no further
        ASSERT_TRUE(next);
        EXPECT_EQ(next->type, 1);
    }
}

TEST(DoubleBulkStreamReader, EndsOnBrokenMessagesAndDrainsToTheEnd) {
    const std::vector<std::uint8_t> sample = bulk_sample();
    auto stream_of = [](packet_feed& feed) {
        dbl_packet_io io(feed.reading_end());
        dbl_bulk_stream stream(io, *io.read_header());
        stream_sample(stream);
    };
    {   // the message ends inside the row: a short row, as with the whole message at hand
        packet_feed feed;
        feed.bulk_packets(std::vector<std::uint8_t>(sample.begin(), sample.end() - 1), 4);
        EXPECT_THROW(stream_of(feed), dbl_short_input);
    }
    {   // a SQL batch packet in the middle of the bulk message
        packet_feed feed;
        feed.packet(7, std::span(sample).subspan(0, 10), false);
        feed.packet(1, std::span(sample).subspan(10), true);
        EXPECT_THROW(stream_of(feed), dbl_drop_connection);
    }
    {   // the client goes away in the middle of the message
        packet_feed feed;
        feed.packet(7, std::span(sample).subspan(0, 10), false);
        feed.close_writer();
        EXPECT_THROW(stream_of(feed), dbl_drop_connection);
    }
    {   // drained after the metadata: the rest is read, the next message comes next
        packet_feed feed;
        feed.bulk_packets(sample, 3);
        feed.packet(6, {}, true);
        dbl_packet_io io(feed.reading_end());
        dbl_bulk_stream stream(io, *io.read_header());
        stream.read_whole([](dbl_reader& r) { r.u8(); });
        stream.drain();
        auto next = io.read_header();
        ASSERT_TRUE(next);
        EXPECT_EQ(next->type, 6);
    }
}

// Rows of an int and an nvarchar(max) whose lengths jump (a row longer than every row before
// meets the end of the bytes at hand) in PLP chunks of random sizes, cut into packets of
// random sizes: every value comes through as written, in order.
TEST(DoubleBulkStreamReaderFuzz, ReadsLongAndShortRowsCutAnywhere) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 200; ++round) {
        dbl_writer w;
        w.u8(0x81);
        w.u16_le(2);
        dbl_result_column id{"id", dbl_make_type(dbl_kind::INT), true, false, false, {}};
        dbl_result_column note{
            "n", dbl_make_type(dbl_kind::NVARCHAR, DBL_MAX_LENGTH), true, false, false, {}};
        for (const auto* column : {&id, &note}) {
            w.u32_le(0);
            w.u16_le(1);
            dbl_write_type_info(w, *column);
            w.b_varchar(u"c");
        }
        std::vector<std::u16string> notes;
        for (int row = 0; row < 20; ++row) {
            std::u16string text(random() % 4 == 0 ? random() % 3000 : random() % 10,
                                char16_t(u'a' + row));
            notes.push_back(text);
            w.u8(0xD1);
            w.u8(4);   // INTN: its length, then the value
            w.u32_le(std::uint32_t(row));
            w.u64_le(text.size() * 2);   // PLP: the total, chunks, a zero chunk
            for (std::size_t at = 0; at < text.size();) {
                std::size_t chunk = std::min<std::size_t>(text.size() - at, 1 + random() % 700);
                w.u32_le(std::uint32_t(chunk * 2));
                w.utf16(text.substr(at, chunk));
                at += chunk;
            }
            w.u32_le(0);
        }
        packet_feed feed;
        ASSERT_TRUE(feed.is_open());
        std::thread writer([&] {   // a message larger than the socket pair's buffer
            for (std::size_t at = 0; at < w.bytes.size();) {
                std::size_t part = std::min<std::size_t>(w.bytes.size() - at, 1 + random() % 600);
                feed.packet(7, std::span(w.bytes).subspan(at, part), at + part == w.bytes.size());
                at += part;
            }
        });
        dbl_packet_io io(feed.reading_end());
        dbl_bulk_stream stream(io, *io.read_header());
        std::vector<dbl_wire_column> columns;
        stream.read_whole([&](dbl_reader& r) {
            columns.clear();
            r.skip(3);
            for (int i = 1; i <= 2; ++i) columns.push_back(dbl_read_wire_column(r, i));
        });
        std::vector<std::u16string> read;
        while (!stream.at_end()) {
            dbl_value value;
            stream.read_whole([&](dbl_reader& r) {
                ASSERT_EQ(r.u8(), 0xD1);
                ASSERT_EQ(dbl_read_value(r, columns[0], 1).integer, std::int64_t(read.size()));
                value = dbl_read_value(r, columns[1], 2);
            });
            read.push_back(value.wide);
        }
        writer.join();
        ASSERT_EQ(read, notes) << "round " << round;
    }
}

TEST(DoubleTextConversion, MapsCodePageAndReplacesBrokenUnits) {
    EXPECT_EQ(dbl_to_cp1252(u"\u20AC\u03A9\u00E9"), "\x80?\xE9");   // Euro, no Omega, e-acute
    EXPECT_EQ(dbl_from_cp1252("\x80\x9F\x81"), u"\u20AC\u0178\u0081");
    EXPECT_EQ(dbl_utf8(u"a\xD83D\xDE00"), "a\xF0\x9F\x98\x80");   // a pair survives
    EXPECT_EQ(dbl_utf8(u"\xD83Dx"), "\xEF\xBF\xBDx");             // a lone half does not
    EXPECT_EQ(dbl_utf16("\xF0\x9F\x98\x80"), u"\xD83D\xDE00");
    EXPECT_EQ(dbl_utf16("a\xC3"), u"a\xFFFD");                    // cut sequence
    EXPECT_TRUE(dbl_same_name("\xC3\x84rger", "\xC3\xA4RGER"));   // case-blind Latin-1
    EXPECT_FALSE(dbl_same_name("Stra\xC3\x9F"
                               "e",
                               "STRASSE"));
}

TEST(DoubleLoginParse, RejectsMalformedPreloginAndLogin) {
    const std::uint8_t good[] = {0x00, 0x00, 0x06, 0x00, 0x06, 0xFF,
                                 0x0F, 0x00, 0x07, 0xD0, 0x00, 0x00};
    auto reply = dbl_prelogin_reply(good, 15, 0, 2000);
    ASSERT_TRUE(reply);
    // Options VERSION, ENCRYPTION, INSTOPT, THREADID, MARS at 5 bytes each, then 0xFF:
    // the encryption byte sits after the six version bytes.
    EXPECT_EQ((*reply)[26 + 6], 0x02);
    const std::uint8_t beyond[] = {0x00, 0x00, 0x40, 0x00, 0x06, 0xFF};
    EXPECT_FALSE(dbl_prelogin_reply(beyond, 15, 0, 2000));
    const std::uint8_t unterminated[] = {0x00, 0x00, 0x05};
    EXPECT_FALSE(dbl_prelogin_reply(unterminated, 15, 0, 2000));

    std::vector<std::uint8_t> login(94, 0);
    login[0] = 94;
    EXPECT_TRUE(dbl_parse_login7(login));   // every field empty
    login[40] = 200;                        // user name offset past the end
    login[42] = 4;
    EXPECT_FALSE(dbl_parse_login7(login));
    login[0] = 200;   // declared longer than it is
    EXPECT_FALSE(dbl_parse_login7(login));
    EXPECT_FALSE(dbl_parse_login7(std::vector<std::uint8_t>(40, 0)));
}

TEST(DoubleOptions, NeedPortAndLoginAndKeepPasswordsOutOfMessages) {
    auto parse = [](std::vector<std::string> args) {
        std::vector<char*> argv;
        static char program[] = "mssql-double";
        argv.push_back(program);
        for (std::string& arg : args) argv.push_back(arg.data());
        return dbl_parse_options(int(argv.size()), argv.data());
    };
    dbl_options options = parse({"--port=0", "--login", "sa:Se:cret", "--delay-ms=5"});
    ASSERT_EQ(options.logins.size(), 1u);
    EXPECT_EQ(options.logins[0].second, "Se:cret");   // only the first colon splits
    EXPECT_EQ(options.delay_ms, 5);
    EXPECT_THROW(parse({"--login=sa:x"}), std::invalid_argument);
    EXPECT_THROW(parse({"--port=0"}), std::invalid_argument);
    EXPECT_THROW(parse({"--port=70000", "--login=sa:x"}), std::invalid_argument);
    EXPECT_THROW(parse({"--port=0", "--login=sa:x", "--delay-ms=-1"}), std::invalid_argument);
    try {
        parse({"--port=0", "--login=sa:TopSecret", "--bogus"});
        FAIL() << "an unknown option was accepted";
    } catch (const std::invalid_argument& error) {
        EXPECT_EQ(std::string(error.what()).find("TopSecret"), std::string::npos);
    }
}

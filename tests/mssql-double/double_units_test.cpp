// double_units_test.cpp - the double's own pieces without a connection: date parsing and
// rounding, decimal scaling, the tokenizer's quoting rules, and the bulk-row reader against
// truncated and mutated input (it must answer with an error, never read past the end).
#include "dbl_bytes.hpp"
#include "dbl_convert.hpp"
#include "dbl_date.hpp"
#include "dbl_error.hpp"
#include "dbl_lexer.hpp"
#include "dbl_number.hpp"
#include "dbl_tds.hpp"

#include <gtest/gtest.h>

#include <random>

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
    EXPECT_EQ(dbl_rescale(125, 2, 1), 13);     // half away from zero
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

}  // namespace

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
        for (int i = 0; i < flips; ++i)
            mutated[random() % mutated.size()] = std::uint8_t(random());
        try {
            read_sample(mutated);
        } catch (const dbl_short_input&) {
        } catch (const dbl_sql_error& error) {
            EXPECT_TRUE(error.number == 4815 || error.number == 4816) << error.number;
        }
    }
}

// The statement literals as a property: random values of every type, text full of quotes,
// brackets, comment marks, semicolons, NULs and surrogate pairs, each written by the
// destination and parsed by the test double's own T-SQL parser (an independent reader). Every
// value must be exactly one literal of the statement, holding exactly the value; text with a
// NUL, which db-lib would cut the statement at, must be refused for its record instead.
// The double's headers come first: its type kinds are T-SQL's names, and INT and CHAR are
// Win32 types too, which the OLE runtime declares globally and a later enumerator would shadow.
#include "dbl_number.hpp"
#include "dbl_parser.hpp"

#include "mss/mss_lit.hpp"
#include "mss/mss_name.hpp"
#include "mss/mss_tab.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

constexpr int ROUNDS = 300;

const std::u16string HOSTILE[] = {u"'",          u"''", u"]",
                                  u"[",          u"--", u";",
                                  u"/*",         u"*/", std::u16string(1, u'\0'),
                                  u"\U0001F600", u"N'", u"'); DROP TABLE [Orders]; --",
                                  u"guid {",     u"0x", u"\\"};

std::u16string random_text(std::mt19937& random) {
    std::u16string text;
    const int pieces = std::uniform_int_distribution<int>(0, 12)(random);
    for (int piece_idx = 0; piece_idx < pieces; ++piece_idx) {
        if (random() % 2 == 0) {
            text += HOSTILE[random() % std::size(HOSTILE)];
        } else {
            text += char16_t(std::uniform_int_distribution<int>(0x20, 0xD7FF)(random));
        }
    }
    return text;
}

double random_double(std::mt19937& random) {
    switch (random() % 4) {
    case 0: {   // any finite bit pattern: subnormal, huge, many digits
        std::uint64_t bits = (std::uint64_t(random()) << 32) | random();
        const double number = std::bit_cast<double>(bits);
        return std::isfinite(number) ? number : 1.0;
    }
    case 1: return std::numeric_limits<double>::denorm_min() * double(random() % 1000 + 1);
    case 2: return std::numeric_limits<double>::max() / double(random() % 7 + 1);
    default: return std::uniform_real_distribution<double>(-1e6, 1e6)(random);
    }
}

struct typed_case {
    ole_variant value;
    VARTYPE column_type;
};

typed_case random_case(std::mt19937& random) {
    switch (random() % 8) {
    case 0: return {ole_variant(random_text(random)), VT_BSTR};
    case 1: {
        std::vector<BYTE> bytes(random() % 20);
        for (BYTE& byte : bytes) byte = BYTE(random());
        bytes.push_back(BYTE('\''));
        return {ole_variant(bytes.size(), bytes.data()), VT_BLOB};
    }
    case 2: {
        GUID guid{std::uint32_t(random()), std::uint16_t(random()), std::uint16_t(random()), {}};
        for (std::uint8_t& byte : guid.Data4) byte = std::uint8_t(random());
        return {ole_variant(guid), VT_BSTR};
    }
    case 3: {
        SYSTEMTIME time{};
        time.wYear = WORD(1753 + random() % 8000);
        time.wMonth = WORD(1 + random() % 12);
        time.wDay = WORD(1 + random() % 28);
        time.wHour = WORD(random() % 24);
        time.wMinute = WORD(random() % 60);
        time.wSecond = WORD(random() % 60);
        time.wMilliseconds = WORD(random() % 1000);
        return {ole_variant(time), VT_DATE};
    }
    case 4: return {ole_variant(random_double(random)), VT_R8};
    case 5:
        return {ole_variant(std::bit_cast<float>(std::uint32_t(random()) & 0x7F7FFFFFu)), VT_R4};
    case 6: {
        const std::uint64_t bits = (std::uint64_t(random()) << 32) | random();
        return {ole_variant(static_cast<long long>(bits)), VT_I8};
    }
    default: {
        const std::string digits = std::to_string(random() % 1000000) + "."
                                   + std::to_string(random() % 10000);
        return {ole_variant::from_string((random() % 2 ? "-" : "") + digits, VT_DECIMAL),
                VT_DECIMAL};
    }
    }
}

double literal_number(const dbl_expr& expr) {
    if (expr.kind == dbl_expr_kind::ARITHMETIC) {
        // Only a subnormal double is written as a product, of two literals.
        EXPECT_EQ(expr.name, "*");
        EXPECT_EQ(expr.args.size(), 2u);
        EXPECT_EQ(expr.args[0]->kind, dbl_expr_kind::LITERAL);
        EXPECT_EQ(expr.args[1]->kind, dbl_expr_kind::LITERAL);
        return expr.args[0]->literal.value.floating * expr.args[1]->literal.value.floating;
    }
    EXPECT_EQ(expr.kind, dbl_expr_kind::LITERAL);
    return expr.literal.value.floating;
}

// The literal holds the value itself, read as the server reads it.
void expect_holds(const dbl_expr& expr, const ole_variant& value) {
    switch (value.type()) {
    case VT_R8:
        EXPECT_EQ(std::bit_cast<std::uint64_t>(literal_number(expr)),
                  std::bit_cast<std::uint64_t>(value.value.dblVal));
        return;
    case VT_R4:
        EXPECT_EQ(std::bit_cast<std::uint32_t>(float(literal_number(expr))),
                  std::bit_cast<std::uint32_t>(value.value.fltVal));
        return;
    default: break;
    }
    ASSERT_EQ(expr.kind, dbl_expr_kind::LITERAL);
    const dbl_value& held = expr.literal.value;
    switch (value.type()) {
    case VT_BSTR: EXPECT_EQ(held.wide, value.to_wstring()); break;
    case VT_CLSID: EXPECT_EQ(held.wide, guid_to_wstring(value.guid_value)); break;
    case VT_I8:
        EXPECT_EQ(std::int64_t(held.decimal ? held.decimal : held.integer), value.hyper_value);
        break;
    case VT_DECIMAL:
        EXPECT_EQ(dbl_format_decimal(held.decimal, expr.literal.type.scale), value.to_string());
        break;
    case VT_DATE: {
        char expected[64];
        const SYSTEMTIME& time = value.date_value;
        std::snprintf(expected, sizeof expected, "%04u%02u%02u %02u:%02u:%02u.%03u", time.wYear,
                      time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
                      time.wMilliseconds);
        EXPECT_EQ(held.bytes, expected);
        break;
    }
    default: {
        BYTE* bytes = nullptr;
        const std::size_t length = value.get_bytes(&bytes);
        EXPECT_EQ(held.bytes, std::string(reinterpret_cast<const char*>(bytes), length));
    }
    }
}

}   // namespace

TEST(MssLiteralProperty, EveryValueIsExactlyOneLiteralHoldingIt) {
    std::mt19937 random(20261208);
    for (int round_idx = 0; round_idx < ROUNDS; ++round_idx) {
        std::vector<typed_case> cases;
        std::u16string columns;
        std::u16string values;
        for (int column_idx = 0; column_idx < 6; ++column_idx) {
            cases.push_back(random_case(random));
            const t_ftd column(0, u"c", cases.back().column_type, false, false, ole_variant(), 0);
            if (cases.back().value.type() == VT_BSTR
                && cases.back().value.to_wstring().find(u'\0') != std::u16string::npos) {
                EXPECT_THROW(mss_table::get_fld_append_str(cases.back().value, column),
                             tk_exception);
                cases.back().value = ole_variant(u"'; --");
            }
            columns += (column_idx ? u", " : u"")
                       + mss_bracket(u"c" + std::u16string(1, char16_t(u'0' + column_idx))
                                     + u"]; --");
            values += (column_idx ? u", " : u"")
                      + mss_table::get_fld_append_str(cases.back().value, column);
        }
        const std::u16string sql = u"INSERT INTO [dbo].[T](" + columns + u") VALUES( " + values
                                   + u")";
        std::vector<dbl_statement> statements;
        ASSERT_NO_THROW(statements = dbl_parse_batch(sql, false)) << "round " << round_idx;
        ASSERT_EQ(statements.size(), 1u) << "round " << round_idx;
        ASSERT_EQ(statements[0].kind, dbl_statement_kind::INSERT);
        ASSERT_EQ(statements[0].rows.size(), 1u);
        ASSERT_EQ(statements[0].rows[0].size(), cases.size()) << "round " << round_idx;
        for (std::size_t value_idx = 0; value_idx < cases.size(); ++value_idx) {
            SCOPED_TRACE("round " + std::to_string(round_idx) + ", value "
                         + std::to_string(value_idx));
            expect_holds(*statements[0].rows[0][value_idx], cases[value_idx].value);
        }
    }
}

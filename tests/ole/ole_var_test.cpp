// Tests of ole_variant: text out, text in, binary values, copies. Expected texts are the
// designed ones (points for decimals, "0x" and upper-case hex for bytes).
#include "ole/ole_var.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> bytes_of(const ole_variant& value) {
    BYTE* data = nullptr;
    std::size_t count = value.get_bytes(&data);
    return std::vector<BYTE>(data, data + count);
}

}   // namespace

TEST(OleVariantToString, PrintsEachTypeInItsForm) {
    EXPECT_EQ(ole_variant(true).to_string(), "1");
    EXPECT_EQ(ole_variant(false).to_string(), "0");
    EXPECT_EQ(ole_variant(std::numeric_limits<unsigned long long>::max()).to_string(),
              "18446744073709551615");
    EXPECT_EQ(ole_variant(-5LL).to_string(), "-5");
    EXPECT_EQ(ole_variant(1.5).to_string(), "1.500000000000000e+00");
    EXPECT_EQ(ole_variant(0.25f).to_string(), "2.500000e-01");
    EXPECT_EQ(ole_variant(short(-7)).to_string(), "-7");
    EXPECT_EQ(ole_variant(CY{123400}).to_string(), "12.34");
    EXPECT_EQ(ole_variant(std::u16string(u"Stra\u00DFe")).to_string(), "Stra\xC3\x9F"
                                                                       "e");
    EXPECT_EQ(ole_variant().to_string(), "");
}

TEST(OleVariantToString, PrintsBytesAsCappedHex) {
    std::vector<BYTE> small(200000, 0xAB);
    ole_variant value;
    value.attach_binary(small);
    std::string text = value.to_string();
    EXPECT_EQ(text.size(), 2u + 400000u);
    EXPECT_EQ(text.substr(0, 6), "0xABAB");

    std::vector<BYTE> large(400000, 0x01);
    value.attach_binary(large);
    EXPECT_EQ(value.to_string().size(), 2u + 2u * 327680u);

    value.attach_binary(std::vector<BYTE>());
    EXPECT_EQ(value.to_string(), "");
}

TEST(OleVariantFromString, GivesEmptyForEmptyTextButBstr) {
    EXPECT_EQ(ole_variant::from_string("", VT_I4).type(), VT_EMPTY);
    ole_variant text = ole_variant::from_string("", VT_BSTR);
    EXPECT_EQ(text.type(), VT_BSTR);
    EXPECT_EQ(text.to_wstring(), u"");
}

TEST(OleVariantFromString, ReadsDecimalCommasAsPoints) {
    EXPECT_DOUBLE_EQ(ole_variant::from_string("1,5", VT_R8).to_double(), 1.5);
    EXPECT_DOUBLE_EQ(ole_variant::from_string(" +2,5e1xyz", VT_R8).to_double(), 25.0);
    EXPECT_DOUBLE_EQ(ole_variant::from_string("-0x10", VT_R8).to_double(), -16.0);   // as atof
    EXPECT_EQ(ole_variant::from_string("1e-400", VT_R8).to_double(), 0.0);
    EXPECT_EQ(ole_variant::from_string("abc", VT_R8).to_double(), 0.0);
    ole_variant currency = ole_variant::from_string("12,34", VT_CY);
    ASSERT_EQ(currency.type(), VT_CY);
    EXPECT_EQ(currency.value.cyVal.int64, 123400);
    ole_variant decimal = ole_variant::from_string("-0,5", VT_DECIMAL);
    ASSERT_EQ(decimal.type(), VT_DECIMAL);
    EXPECT_EQ(decimal.to_string(), "-0.5");
}

TEST(OleVariantFromString, GivesEmptyForUnreadableCurrencyDecimalAndDate) {
    EXPECT_EQ(ole_variant::from_string("abc", VT_CY).type(), VT_EMPTY);
    EXPECT_EQ(ole_variant::from_string("1e999", VT_DECIMAL).type(), VT_EMPTY);
    EXPECT_EQ(ole_variant::from_string("not a date", VT_DATE).type(), VT_EMPTY);
    // Valid-looking fields, but no such day: no date number exists, so no date value.
    EXPECT_EQ(ole_variant::from_string("2023-02-31", VT_DATE).type(), VT_EMPTY);
}

TEST(OleVariantFromString, ReadsBooleanWordsAndNumbers) {
    EXPECT_TRUE(ole_variant::from_string("TRUE", VT_BOOL).to_bool());
    EXPECT_TRUE(ole_variant::from_string("Yes", VT_BOOL).to_bool());
    EXPECT_FALSE(ole_variant::from_string("No", VT_BOOL).to_bool());
    EXPECT_FALSE(ole_variant::from_string("FALSE", VT_BOOL).to_bool());
    EXPECT_TRUE(ole_variant::from_string("2", VT_BOOL).to_bool());
    EXPECT_FALSE(ole_variant::from_string("abc", VT_BOOL).to_bool());
}

TEST(OleVariantFromString, ReadsIntegersLikeAtoi) {
    EXPECT_EQ(ole_variant::from_string(" -42xyz", VT_I4).to_long(), -42);
    EXPECT_EQ(ole_variant::from_string("300", VT_UI1).to_long(), 44);   // cut to 8 bits
    EXPECT_EQ(ole_variant::from_string("abc", VT_UI4).to_long(), 0);
    ole_variant big = ole_variant::from_string("9223372036854775807", VT_I8);
    EXPECT_EQ(big.hyper_value, std::numeric_limits<std::int64_t>::max());
    ole_variant huge = ole_variant::from_string("99999999999999999999999", VT_I8);
    EXPECT_EQ(huge.hyper_value, std::numeric_limits<std::int64_t>::max());   // saturates
    ole_variant unsigned_big = ole_variant::from_string("18446744073709551615", VT_UI8);
    EXPECT_EQ(unsigned_big.to_string(), "18446744073709551615");
}

TEST(OleVariantFromString, ReadsHexTextIntoBytes) {
    EXPECT_EQ(bytes_of(ole_variant::from_string("0xABCD", VT_BINARY_ARRAY)),
              (std::vector<BYTE>{0xAB, 0xCD}));
    EXPECT_EQ(bytes_of(ole_variant::from_string("abcd", VT_BLOB)), (std::vector<BYTE>{0xAB, 0xCD}));
    EXPECT_EQ(bytes_of(ole_variant::from_string("1GZZ", VT_BINARY_ARRAY)),
              (std::vector<BYTE>{0x01, 0x00}));
    EXPECT_EQ(ole_variant::from_string("ABC", VT_BINARY_ARRAY).type(), VT_EMPTY);
    EXPECT_EQ(ole_variant::from_string("0xABCD", VT_BINARY_ARRAY).to_string(), "0xABCD");
}

TEST(OleVariantFromString, ThrowsWhenThePlatformCannotConvert) {
    EXPECT_THROW(ole_variant::from_string("abc", VT_INT), ole_type_exception);
    EXPECT_EQ(ole_variant::from_string("12", VT_INT).to_string(), "");   // VT_INT prints empty
    try {
        ole_variant::from_string("x", VT_ERROR);
        FAIL() << "no exception";
    } catch (const ole_type_exception& e) {
        EXPECT_STREQ(e.what(), "The operating type is not supported yet");
        EXPECT_EQ(e.level(), 1);
    }
}

TEST(OleVariantFromWstring, KeepsTextUpToTheFirstNul) {
    ole_variant text = ole_variant::from_wstring(std::u16string(u"ab\0cd", 5), VT_BSTR);
    EXPECT_EQ(text.to_wstring(), u"ab");
    EXPECT_EQ(ole_variant::from_wstring(u"12,5", VT_R8).to_double(), 12.5);
}

TEST(OleVariantAttach, KeepsEmbeddedNulsInWideText) {
    ole_variant value;
    value.attach_wstring(std::u16string(u"a\0b", 3));
    EXPECT_EQ(value.to_wstring(), std::u16string(u"a\0b", 3));
    value.attach_binary(3, reinterpret_cast<const BYTE*>("xyz"));   // replaces the BSTR
    EXPECT_EQ(value.to_string(), "0x78797A");
    value.attach_binary(0, nullptr);   // an empty buffer with no pointer is still empty bytes
    EXPECT_EQ(value.type(), VT_BINARY_ARRAY);
    EXPECT_THROW(value.attach_binary(2, nullptr), tk_mail_assertion);
}

TEST(OleVariantAttach, ResizesAnArrayFromAnyEarlierSize) {
    ole_variant value;
    value.attach_binary(std::vector<BYTE>());
    value.attach_binary(std::vector<BYTE>{1, 2, 3});   // from an empty array: no assertion
    EXPECT_EQ(bytes_of(value), (std::vector<BYTE>{1, 2, 3}));
    value.attach_binary(std::vector<BYTE>{9});
    EXPECT_EQ(bytes_of(value), (std::vector<BYTE>{9}));
}

TEST(OleVariantCopy, CopiesArraysDeeplyAndSideMembers) {
    ole_variant bytes;
    bytes.attach_binary(std::vector<BYTE>{1, 2});
    ole_variant copy(bytes);
    bytes.attach_binary(std::vector<BYTE>{7, 7});
    EXPECT_EQ(bytes_of(copy), (std::vector<BYTE>{1, 2}));

    ole_variant target(std::string("text"));   // its BSTR must not leak (ASan run)
    target = ole_variant(-9LL);
    EXPECT_EQ(target.type(), VT_I8);
    EXPECT_EQ(target.hyper_value, -9);
    target = bytes;
    EXPECT_EQ(bytes_of(target), (std::vector<BYTE>{7, 7}));
    target = target;
    EXPECT_EQ(bytes_of(target), (std::vector<BYTE>{7, 7}));

    SYSTEMTIME time{2024, 2, 0, 29, 13, 5, 9, 0};
    ole_variant date(time);
    ole_variant date_copy(date);
    EXPECT_EQ(date_copy.type(), VT_DATE);
    EXPECT_EQ(date_copy.to_string(), "2024-02-29 13:05:09");
    EXPECT_EQ(date_copy.value.date, date.value.date);
}

// Numbers, currency, decimals and Booleans live in the VARIANT's own bytes; a decimal fills
// all of them (its first word is the type), so a copy that took fewer would lose digits.
TEST(OleVariantCopy, InlineValuesArriveWholeOverAnyEarlierValue) {
    const std::vector<ole_variant> inline_values = {
        ole_variant::from_string("-7922816251426433759354395.0335", VT_DECIMAL),
        ole_variant(CY{-9223372036854775807LL}),
        ole_variant(-1.25e-300),
        ole_variant(std::numeric_limits<int>::min()),
        ole_variant(false),
        ole_variant(0.5f)};
    const std::vector<std::string> texts = {"-7922816251426433759354395.0335",
                                            "-922337203685477.5807",
                                            "-1.250000000000000e-300",
                                            "-2147483648",
                                            "0",
                                            "5.000000e-01"};
    ole_variant bytes;
    bytes.attach_binary(std::vector<BYTE>{1, 2, 3});
    const std::vector<ole_variant> earlier = {ole_variant(std::string("text")), bytes,
                                              ole_variant(SYSTEMTIME{2024, 2, 0, 29, 0, 0, 0, 0}),
                                              ole_variant(GUID{}), ole_variant(7LL)};
    for (std::size_t value_idx = 0; value_idx < inline_values.size(); ++value_idx) {
        for (const ole_variant& before : earlier) {
            ole_variant target(before);   // its BSTR or array must not leak (ASan run)
            target = inline_values[value_idx];
            EXPECT_EQ(target.type(), inline_values[value_idx].type());
            EXPECT_EQ(target.to_string(), texts[value_idx]) << before.to_string();
        }
    }
}

TEST(OleVariantCopy, ClearedValueIsEmptyWhateverItHeld) {
    ole_variant bytes;
    bytes.attach_binary(std::vector<BYTE>{1, 2, 3});
    for (ole_variant held :
         {ole_variant(std::string("text")), bytes,
          ole_variant(SYSTEMTIME{2024, 2, 0, 29, 13, 5, 9, 0}), ole_variant(GUID{1, 2, 3, {4}}),
          ole_variant(-9LL), ole_variant(2.5)}) {
        held.clear();
        EXPECT_EQ(held.type(), VT_EMPTY);
        EXPECT_EQ(held.to_string(), "");
        EXPECT_EQ(held.hyper_value, 0);
        EXPECT_EQ(held.date_value.wYear, 0);   // a date's parts must not outlive it
        EXPECT_EQ(held.get_bytes(nullptr), 0u);
    }
}

TEST(OleVariantAccessors, AssertOnTypesTheyDoNotServe) {
    ole_variant text(std::string("x"));
    EXPECT_THROW(text.to_long(), tk_mail_assertion);
    EXPECT_THROW(text.to_double(), tk_mail_assertion);
    EXPECT_THROW(text.to_bool(), tk_mail_assertion);
    BYTE* data = nullptr;
    EXPECT_THROW(text.get_bytes(&data), tk_mail_assertion);
    EXPECT_THROW(ole_variant(CY{1}).to_bool(), tk_mail_assertion);
    EXPECT_EQ(ole_variant().get_bytes(&data), 0u);
}

TEST(OleVariantAccessors, ReadNumbersAsDesigned) {
    EXPECT_EQ(ole_variant(true).to_long(), -1);
    EXPECT_EQ(ole_variant(-2.9).to_long(), -2);          // truncated toward zero
    EXPECT_EQ(ole_variant(3e9).to_long(), 2147483647);   // stops at the limit, never wraps
    EXPECT_EQ(ole_variant(-1e300).to_long(), -2147483647 - 1);
    EXPECT_EQ(ole_variant(0xFFFFFFFFu).to_double(), 4294967295.0);
    EXPECT_EQ(ole_variant(0x100000005LL).to_long(), 5);   // low 32 bits
    EXPECT_DOUBLE_EQ(ole_variant(CY{-25000}).to_double(), -2.5);
    DECIMAL decimal{};
    decimal.Lo64 = 35;
    decimal.scale = 1;
    EXPECT_EQ(ole_variant(decimal).to_long(), 4);   // 3.5 to even
    EXPECT_TRUE(ole_variant(decimal).to_bool());
    EXPECT_FALSE(ole_variant(short(0)).to_bool());
}

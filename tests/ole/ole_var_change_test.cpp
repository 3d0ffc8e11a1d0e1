// Tests of ole_variant::change_type: the 64-bit, date and binary rules of the value layer and
// the platform conversions behind the rest.
#include "ole/ole_var.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

std::vector<BYTE> bytes_of(const ole_variant& value) {
    BYTE* data = nullptr;
    std::size_t count = value.get_bytes(&data);
    return std::vector<BYTE>(data, data + count);
}

ole_variant changed(ole_variant value, VARTYPE vt) {
    value.change_type(vt);
    return value;
}

}   // namespace

TEST(OleVariantChangeType, LeavesNullAndEmptyAlone) {
    ole_variant null;
    null.value.vt = VT_NULL;
    const VARTYPE targets[] = {VT_I4, VT_BSTR, VT_DATE, VT_I8, VT_BINARY_ARRAY};
    for (VARTYPE vt : targets) {
        EXPECT_EQ(changed(null, vt).type(), VT_NULL);
        EXPECT_EQ(changed(ole_variant(), vt).type(), VT_EMPTY);
    }
}

TEST(OleVariantChangeType, MovesHyperThroughCurrency) {
    ole_variant currency = changed(ole_variant(5LL), VT_CY);
    ASSERT_EQ(currency.type(), VT_CY);
    EXPECT_EQ(currency.value.cyVal.int64, 50000);
    EXPECT_EQ(changed(currency, VT_I8).hyper_value, 5);
    EXPECT_EQ(changed(ole_variant(CY{25000}), VT_I8).hyper_value, 3);     // 2.5
    EXPECT_EQ(changed(ole_variant(CY{-25000}), VT_I8).hyper_value, -2);   // -2.5
    EXPECT_EQ(changed(ole_variant(CY{-27000}), VT_I8).hyper_value, -3);   // -2.7, not -2
    EXPECT_EQ(changed(ole_variant(CY{24999}), VT_I8).hyper_value, 2);
}

TEST(OleVariantChangeType, RefusesHyperBeyondCurrencyInsteadOfWrapping) {
    ole_variant big(std::numeric_limits<long long>::max());
    EXPECT_THROW(big.change_type(VT_CY), ole_type_exception);
    EXPECT_EQ(big.type(), VT_I8);                     // unchanged
    ole_variant decimal = changed(big, VT_DECIMAL);   // a decimal holds it exactly
    EXPECT_EQ(decimal.to_string(), "9223372036854775807");
    EXPECT_EQ(changed(ole_variant(5LL), VT_DECIMAL).to_string(), "5");
}

TEST(OleVariantChangeType, CutsHyperToNarrowTypes) {
    ole_variant unsigned_int = changed(ole_variant(0x1FFFFFFFFLL), VT_UI4);
    EXPECT_EQ(unsigned_int.type(), VT_UINT);   // as designed: not VT_UI4
    EXPECT_EQ(unsigned_int.value.uintVal, 0xFFFFFFFFu);
    EXPECT_EQ(changed(ole_variant(0x12345LL), VT_I2).value.iVal, 0x2345);
    EXPECT_EQ(changed(ole_variant(0x1FFLL), VT_UI1).value.bVal, 0xFF);
    EXPECT_EQ(changed(ole_variant(-1LL), VT_UI8).uhyper_value,
              std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(changed(ole_variant(-12LL), VT_BSTR).to_wstring(), u"-12");
    EXPECT_EQ(changed(ole_variant(12ULL), VT_R8).value.dblVal, 12.0);
    EXPECT_THROW(changed(ole_variant(1LL), VT_DATE), ole_type_exception);
}

TEST(OleVariantChangeType, WidensIntoHyper) {
    EXPECT_EQ(changed(ole_variant(short(-2)), VT_UI8).uhyper_value,
              std::numeric_limits<std::uint64_t>::max() - 1);   // sign-extended
    EXPECT_EQ(changed(ole_variant(0xFFFFFFFFu), VT_I8).hyper_value, 0xFFFFFFFFLL);
    EXPECT_EQ(changed(ole_variant(-7.9), VT_I8).hyper_value, -7);
    EXPECT_EQ(changed(ole_variant(1.5e19), VT_UI8).uhyper_value, 15000000000000000000ULL);
    EXPECT_THROW(changed(ole_variant(1e30), VT_I8), ole_type_exception);
    EXPECT_THROW(changed(ole_variant(std::string("5")), VT_I8), ole_type_exception);
}

// A Large Number arrives from the file as an exact decimal: every 64-bit value stays exact.
TEST(OleVariantChangeType, DecimalsIntoHyperKeepEveryDigit) {
    const auto decimal = [](const char* text) {
        return ole_variant::from_string(text, VT_DECIMAL);
    };
    EXPECT_EQ(changed(decimal("9223372036854775807"), VT_I8).hyper_value,
              std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(changed(decimal("-9223372036854775808"), VT_I8).hyper_value,
              std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(changed(decimal("9007199254740995"), VT_I8).hyper_value, 9007199254740995LL);
    EXPECT_EQ(changed(decimal("2.5"), VT_I8).hyper_value, 3);   // ties as currency rounds them
    EXPECT_EQ(changed(decimal("-2.5"), VT_I8).hyper_value, -2);
    EXPECT_EQ(changed(decimal("-2.7"), VT_I8).hyper_value, -3);
    EXPECT_EQ(changed(decimal("18446744073709551615"), VT_UI8).uhyper_value,
              std::numeric_limits<std::uint64_t>::max());
    EXPECT_THROW(changed(decimal("9223372036854775808"), VT_I8), ole_type_exception);
    EXPECT_THROW(changed(decimal("18446744073709551616"), VT_UI8), ole_type_exception);
}

TEST(OleVariantChangeType, PrintsDatesAndReadsBackOnlyTheFullForm) {
    SYSTEMTIME time{2024, 2, 0, 29, 13, 5, 9, 0};
    EXPECT_EQ(changed(ole_variant(time), VT_BSTR).to_wstring(), u"2024-02-29 13:05:09");
    EXPECT_THROW(changed(ole_variant(time), VT_R8), ole_type_exception);

    ole_variant date = changed(ole_variant(std::string("2024-02-29 13:05:09")), VT_DATE);
    ASSERT_EQ(date.type(), VT_DATE);
    EXPECT_EQ(date.to_string(), "2024-02-29 13:05:09");
    EXPECT_THROW(changed(ole_variant(std::string("2024-02-29")), VT_DATE), ole_type_exception);
    EXPECT_EQ(changed(ole_variant(std::string("2024-99-29 13:05:09")), VT_DATE).type(), VT_EMPTY);
}

TEST(OleVariantChangeType, GivesTheRawBytesOfNumbersAndText) {
    EXPECT_EQ(bytes_of(changed(ole_variant(0x01020304), VT_BINARY_ARRAY)),
              (std::vector<BYTE>{0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(bytes_of(changed(ole_variant(0x0102030405060708LL), VT_BLOB)),
              (std::vector<BYTE>{8, 7, 6, 5, 4, 3, 2, 1}));   // from the side member
    EXPECT_EQ(bytes_of(changed(ole_variant(true), VT_BINARY_ARRAY)),
              (std::vector<BYTE>{0xFF, 0xFF}));
    // Every byte of the text: two a character.
    EXPECT_EQ(bytes_of(changed(ole_variant(std::u16string(u"AB")), VT_BINARY_ARRAY)),
              (std::vector<BYTE>{'A', 0, 'B', 0}));
    DECIMAL decimal{};
    EXPECT_EQ(bytes_of(changed(ole_variant(decimal), VT_BINARY_ARRAY)).size(), 16u);
    ole_variant bytes;
    bytes.attach_binary(std::vector<BYTE>{1});
    EXPECT_EQ(bytes_of(changed(bytes, VT_BLOB)), (std::vector<BYTE>{1}));   // binary stays
}

TEST(OleVariantChangeType, UsesThePlatformForTheRest) {
    EXPECT_EQ(changed(ole_variant(std::string("42")), VT_I4).to_long(), 42);
    EXPECT_EQ(changed(ole_variant(2.5), VT_I2).value.iVal, 2);
    EXPECT_EQ(changed(ole_variant(CY{123400}), VT_BSTR).to_wstring(), u"12.34");
    ole_variant text(std::string("abc"));
    EXPECT_THROW(text.change_type(VT_I4), ole_type_exception);
    EXPECT_EQ(text.to_string(), "abc");   // untouched
    EXPECT_THROW(changed(ole_variant(300), VT_UI1), ole_type_exception);
}

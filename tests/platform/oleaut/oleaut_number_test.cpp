// Tests of the CY and DECIMAL conversions. Expected values are worked by hand from the
// platform's documented rules: half-to-even rounding, CY as int64 / 10,000, DECIMAL limits
// 2^96 - 1 and scale 28.
#include "platform/oleaut/oleaut_bstr.hpp"
#include "platform/oleaut/oleaut_number.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

HRESULT cy_from(const std::u16string& text, CY* result) {
    return VarCyFromStr(text.c_str(), LOCALE_EN_US, 0, result);
}

HRESULT dec_from(const std::u16string& text, DECIMAL* result) {
    return VarDecFromStr(text.c_str(), LOCALE_EN_US, 0, result);
}

std::u16string text_of(const DECIMAL& value) {
    BSTR text = nullptr;
    EXPECT_EQ(VarBstrFromDec(&value, LOCALE_EN_US, 0, &text), S_OK);
    std::u16string result(bstr_view(text));
    SysFreeString(text);
    return result;
}

std::int64_t cy_units(const std::u16string& text) {
    CY value{-1};
    EXPECT_EQ(cy_from(text, &value), S_OK);
    return value.int64;
}

DECIMAL dec(const std::u16string& text) {
    DECIMAL value{};
    EXPECT_EQ(dec_from(text, &value), S_OK);
    return value;
}

}   // namespace

TEST(VarCyFromStr, ReadsUsNumberText) {
    EXPECT_EQ(cy_units(u"12.34"), 123400);
    EXPECT_EQ(cy_units(u" -12.34 "), -123400);
    EXPECT_EQ(cy_units(u"1,234.5"), 12345000);
    EXPECT_EQ(cy_units(u"$5"), 50000);
    EXPECT_EQ(cy_units(u"1e3"), 10000000);
    EXPECT_EQ(cy_units(u".5"), 5000);
}

TEST(VarCyFromStr, RoundsTheFifthDecimalToEven) {
    EXPECT_EQ(cy_units(u"0.00005"), 0);
    EXPECT_EQ(cy_units(u"0.00015"), 2);
    EXPECT_EQ(cy_units(u"0.00025"), 2);
    EXPECT_EQ(cy_units(u"0.000250001"), 3);
    EXPECT_EQ(cy_units(u"-0.00015"), -2);
}

TEST(VarCyFromStr, RefusesBadTextAndOverflow) {
    CY value{77};
    EXPECT_EQ(cy_from(u"922337203685477.5807", &value), S_OK);
    EXPECT_EQ(value.int64, INT64_MAX);
    EXPECT_EQ(cy_from(u"-922337203685477.5808", &value), S_OK);
    EXPECT_EQ(value.int64, INT64_MIN);
    value.int64 = 77;
    EXPECT_EQ(cy_from(u"922337203685477.5808", &value), DISP_E_OVERFLOW);
    EXPECT_EQ(cy_from(u"1e400", &value), DISP_E_OVERFLOW);
    for (const char16_t* bad : {u"", u"abc", u"1.2.3", u"12,34.5.6", u"--1", u"1e", u"1 2", u",5",
                                u"&H", u"&HFFFFFFFFFFFFFFFFF", u"12,34x"}) {
        EXPECT_EQ(cy_from(bad, &value), DISP_E_TYPEMISMATCH);
    }
    EXPECT_EQ(value.int64, 77);   // untouched by every failure
}

TEST(VarDecFromStr, KeepsTheFullRangeAndScale) {
    EXPECT_EQ(text_of(dec(u"79228162514264337593543950335")), u"79228162514264337593543950335");
    EXPECT_EQ(text_of(dec(u"-0.0000000000000000000000000001")), u"-0.0000000000000000000000000001");
    EXPECT_EQ(dec(u"0.0000000000000000000000000001").scale, 28);
    DECIMAL value{};
    EXPECT_EQ(dec_from(u"79228162514264337593543950336", &value), DISP_E_OVERFLOW);
}

TEST(VarDecFromStr, RoundsDigitsBeyondWhatFits) {
    // 29th decimal and 30th significant digit are rounded off, half to even.
    EXPECT_EQ(text_of(dec(u"0.00000000000000000000000000015")), u"0.0000000000000000000000000002");
    EXPECT_EQ(text_of(dec(u"0.00000000000000000000000000025")), u"0.0000000000000000000000000002");
    EXPECT_EQ(text_of(dec(u"1.00000000000000000000000000005")), u"1");
    // 30 digits exceed 96 bits: the fraction goes first.
    EXPECT_EQ(text_of(dec(u"1234567890123456789012345678.96")), u"1234567890123456789012345679");
    EXPECT_EQ(text_of(dec(u"1e-40")), u"0");
}

TEST(VarDecConversions, RoundHalfToEven) {
    LONG whole = 0;
    DECIMAL two_and_half = dec(u"2.5");
    ASSERT_EQ(VarI4FromDec(&two_and_half, &whole), S_OK);
    EXPECT_EQ(whole, 2);
    DECIMAL three_and_half = dec(u"3.5");
    ASSERT_EQ(VarI4FromDec(&three_and_half, &whole), S_OK);
    EXPECT_EQ(whole, 4);
    DECIMAL minus_two_and_half = dec(u"-2.5");
    ASSERT_EQ(VarI4FromDec(&minus_two_and_half, &whole), S_OK);
    EXPECT_EQ(whole, -2);
    DECIMAL too_big = dec(u"2147483647.5");
    EXPECT_EQ(VarI4FromDec(&too_big, &whole), DISP_E_OVERFLOW);

    CY currency{};
    DECIMAL tie = dec(u"1.00005");
    ASSERT_EQ(VarCyFromDec(&tie, &currency), S_OK);
    EXPECT_EQ(currency.int64, 10000);
    DECIMAL above = dec(u"1.00015");
    ASSERT_EQ(VarCyFromDec(&above, &currency), S_OK);
    EXPECT_EQ(currency.int64, 10002);
}

TEST(VarDecConversions, MoveBetweenCurrencyDecimalAndDouble) {
    DECIMAL value{};
    ASSERT_EQ(VarDecFromCy(CY{123400}, &value), S_OK);
    EXPECT_EQ(text_of(value), u"12.34");
    double number = 0;
    ASSERT_EQ(VarR8FromDec(&value, &number), S_OK);
    EXPECT_DOUBLE_EQ(number, 12.34);
    ASSERT_EQ(VarR8FromCy(CY{-25000}, &number), S_OK);
    EXPECT_DOUBLE_EQ(number, -2.5);
    DECIMAL bad_scale = value;
    bad_scale.scale = 29;
    EXPECT_EQ(VarR8FromDec(&bad_scale, &number), E_INVALIDARG);
    ASSERT_EQ(VarDecFromR8(0.1, &value), S_OK);
    EXPECT_EQ(text_of(value), u"0.1");
}

// Random decimal texts come back as the same number in canonical form.
TEST(DecimalTextRoundTrip, KeepsRandomValues) {
    std::mt19937 random(20240229);
    for (int sample_idx = 0; sample_idx < 3000; ++sample_idx) {
        int digit_count = 1 + int(random() % 28);
        std::u16string digits;
        digits.push_back(char16_t(u'1' + random() % 9));
        for (int digit_idx = 1; digit_idx < digit_count; ++digit_idx) {
            digits.push_back(char16_t(u'0' + random() % 10));
        }
        int scale = int(random() % std::min(digit_count + 1, 29));
        std::u16string text = digits;
        if (scale > 0) text.insert(text.size() - std::size_t(scale), 1, u'.');
        if (text.front() == u'.') text.insert(0, 1, u'0');
        if (scale > 0) {   // canonical form: no trailing fraction zeros
            while (text.back() == u'0') text.pop_back();
            if (text.back() == u'.') text.pop_back();
        }
        if (random() % 2) text.insert(0, 1, u'-');
        ASSERT_EQ(text_of(dec(text)), text);
    }
}

TEST(CurrencyTextRoundTrip, KeepsRandomValues) {
    std::mt19937_64 random(45351);
    for (int sample_idx = 0; sample_idx < 3000; ++sample_idx) {
        std::int64_t units = std::int64_t(random());
        BSTR text = nullptr;
        ASSERT_EQ(VarBstrFromCy(CY{units}, LOCALE_EN_US, 0, &text), S_OK);
        CY back{};
        ASSERT_EQ(VarCyFromStr(text, LOCALE_EN_US, 0, &back), S_OK);
        EXPECT_EQ(back.int64, units);
        SysFreeString(text);
    }
}

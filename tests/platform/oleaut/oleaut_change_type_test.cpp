// Tests of VariantChangeType: OLE's rounding (half to even), range errors, text in en-US
// form, and that a failure leaves the destination as it was.
#include "platform/oleaut/oleaut.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// Owns a VARIANT for the test's duration.
struct owned_variant {
    VARIANT v;
    owned_variant() { VariantInit(&v); }
    ~owned_variant() { VariantClear(&v); }
};

VARIANT r8(double number) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = number;
    return v;
}

VARIANT i4(LONG number) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = number;
    return v;
}

HRESULT change(const VARIANT& source, VARTYPE vt, owned_variant* result, USHORT flags = 0) {
    return VariantChangeType(&result->v, &source, flags, vt);
}

std::u16string as_text(const VARIANT& source, USHORT flags = 0) {
    owned_variant result;
    EXPECT_EQ(change(source, VT_BSTR, &result, flags), S_OK);
    return std::u16string(bstr_view(result.v.bstrVal));
}

LONG as_i4(const VARIANT& source) {
    owned_variant result;
    EXPECT_EQ(change(source, VT_I4, &result), S_OK);
    return result.v.lVal;
}

struct text_variant : owned_variant {
    explicit text_variant(const std::u16string& text) {
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
    }
};

}   // namespace

TEST(VariantChangeTypeNumbers, RoundHalfToEven) {
    EXPECT_EQ(as_i4(r8(2.5)), 2);
    EXPECT_EQ(as_i4(r8(3.5)), 4);
    EXPECT_EQ(as_i4(r8(-2.5)), -2);
    EXPECT_EQ(as_i4(r8(-2.6)), -3);
    VARIANT currency{};
    currency.vt = VT_CY;
    currency.cyVal.int64 = 25000;   // 2.5
    EXPECT_EQ(as_i4(currency), 2);
}

TEST(VariantChangeTypeNumbers, ReportOverflowForEveryTarget) {
    owned_variant result;
    EXPECT_EQ(change(i4(300), VT_UI1, &result), DISP_E_OVERFLOW);
    EXPECT_EQ(change(i4(-1), VT_UI4, &result), DISP_E_OVERFLOW);
    EXPECT_EQ(change(i4(-129), VT_I1, &result), DISP_E_OVERFLOW);
    EXPECT_EQ(change(i4(32768), VT_I2, &result), DISP_E_OVERFLOW);
    EXPECT_EQ(change(r8(2147483647.5), VT_I4, &result), DISP_E_OVERFLOW);
    EXPECT_EQ(change(r8(9.3e18), VT_I8, &result), DISP_E_OVERFLOW);
    EXPECT_EQ(change(r8(1e40), VT_R4, &result), DISP_E_OVERFLOW);
    EXPECT_EQ(change(r8(1e15), VT_CY, &result), DISP_E_OVERFLOW);
    EXPECT_EQ(change(r8(1e30), VT_DECIMAL, &result), DISP_E_OVERFLOW);
    EXPECT_EQ(change(r8(3e6), VT_DATE, &result), DISP_E_OVERFLOW);
    EXPECT_EQ(change(r8(std::nan("")), VT_I4, &result), DISP_E_OVERFLOW);
    EXPECT_EQ(result.v.vt, VT_EMPTY);   // nothing half-written
    EXPECT_EQ(change(r8(255.4), VT_UI1, &result), S_OK);
    EXPECT_EQ(result.v.bVal, 255);
}

TEST(VariantChangeTypeNumbers, ConvertBooleansAsMinusOne) {
    VARIANT truth{};
    truth.vt = VT_BOOL;
    truth.boolVal = VARIANT_TRUE;
    EXPECT_EQ(as_i4(truth), -1);
    owned_variant result;
    ASSERT_EQ(change(r8(0.1), VT_BOOL, &result), S_OK);
    EXPECT_EQ(result.v.boolVal, VARIANT_TRUE);
    ASSERT_EQ(change(i4(0), VT_BOOL, &result), S_OK);
    EXPECT_EQ(result.v.boolVal, VARIANT_FALSE);
}

TEST(VariantChangeTypeNumbers, KeepDecimalsExact) {
    text_variant text(u"12345678901234567890.123456789");
    owned_variant decimal;
    ASSERT_EQ(change(text.v, VT_DECIMAL, &decimal), S_OK);
    EXPECT_EQ(decimal.v.vt, VT_DECIMAL);
    EXPECT_EQ(as_text(decimal.v), u"12345678901234567890.123456789");
    owned_variant currency;
    ASSERT_EQ(change(decimal.v, VT_CY, &currency), DISP_E_OVERFLOW);
}

TEST(VariantChangeTypeText, ReadsUsNumbers) {
    EXPECT_EQ(as_i4(text_variant(u" 1,000 ").v), 1000);
    EXPECT_EQ(as_i4(text_variant(u"-1.5").v), -2);
    EXPECT_EQ(as_i4(text_variant(u"&HFF").v), 255);
    owned_variant result;
    EXPECT_EQ(change(text_variant(u"1,5").v, VT_R8, &result), S_OK);   // grouping, not a point
    EXPECT_EQ(result.v.dblVal, 15.0);
    EXPECT_EQ(change(text_variant(u"1e400").v, VT_R8, &result), DISP_E_OVERFLOW);
    EXPECT_EQ(change(text_variant(u"12abc").v, VT_I4, &result), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(change(text_variant(u"").v, VT_I4, &result), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeTypeText, ReadsBooleansAndDates) {
    owned_variant result;
    ASSERT_EQ(change(text_variant(u" TRUE ").v, VT_BOOL, &result), S_OK);
    EXPECT_EQ(result.v.boolVal, VARIANT_TRUE);
    ASSERT_EQ(change(text_variant(u"0").v, VT_BOOL, &result), S_OK);
    EXPECT_EQ(result.v.boolVal, VARIANT_FALSE);
    EXPECT_EQ(change(text_variant(u"yes").v, VT_BOOL, &result), DISP_E_TYPEMISMATCH);
    ASSERT_EQ(change(text_variant(u"2024-02-29").v, VT_DATE, &result), S_OK);
    EXPECT_EQ(result.v.date, 45351.0);
}

TEST(VariantChangeTypeText, WritesNumbersWithAPoint) {
    EXPECT_EQ(as_text(r8(1.5)), u"1.5");
    EXPECT_EQ(as_text(r8(0.1 + 0.2)), u"0.3");   // 15 significant digits
    EXPECT_EQ(as_text(r8(1e20)), u"1E+20");
    EXPECT_EQ(as_text(r8(-1234567.25)), u"-1234567.25");
    VARIANT single{};
    single.vt = VT_R4;
    single.fltVal = 0.1f;
    EXPECT_EQ(as_text(single), u"0.1");
    VARIANT currency{};
    currency.vt = VT_CY;
    currency.cyVal.int64 = 123400;
    EXPECT_EQ(as_text(currency), u"12.34");
    VARIANT big{};
    big.vt = VT_UI8;
    big.ullVal = UINT64_MAX;
    EXPECT_EQ(as_text(big), u"18446744073709551615");
}

TEST(VariantChangeTypeText, WritesBooleansAsNumbersUnlessAskedForWords) {
    VARIANT truth{};
    truth.vt = VT_BOOL;
    truth.boolVal = VARIANT_TRUE;
    EXPECT_EQ(as_text(truth), u"-1");
    EXPECT_EQ(as_text(truth, VARIANT_ALPHABOOL), u"True");
}

TEST(VariantChangeTypeFailures, LeaveTheDestinationUntouched) {
    text_variant in_place(u"not a number");
    EXPECT_EQ(VariantChangeType(&in_place.v, &in_place.v, 0, VT_I4), DISP_E_TYPEMISMATCH);
    ASSERT_EQ(in_place.v.vt, VT_BSTR);
    EXPECT_EQ(bstr_view(in_place.v.bstrVal), u"not a number");

    VARIANT null{};
    null.vt = VT_NULL;
    owned_variant result;
    EXPECT_EQ(change(null, VT_I4, &result), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(change(null, VT_BSTR, &result), DISP_E_TYPEMISMATCH);
    VARIANT error{};
    error.vt = VT_ERROR;
    EXPECT_EQ(change(error, VT_I4, &result), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(change(i4(1), VT_ERROR, &result), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(change(i4(1), VARTYPE(99), &result), DISP_E_BADVARTYPE);
}

TEST(VariantChangeTypeEmpty, BecomesZeroOrEmptyText) {
    VARIANT empty{};
    EXPECT_EQ(as_i4(empty), 0);
    EXPECT_EQ(as_text(empty), u"");
}

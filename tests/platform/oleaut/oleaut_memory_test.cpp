// Tests of BSTR, SAFEARRAY and VARIANT ownership: lengths with embedded NULs, bounds, locks,
// deep copies.
#include "platform/oleaut/oleaut.hpp"

#include <gtest/gtest.h>

#include <cstring>

TEST(Bstr, KeepsEmbeddedNulsAndOddByteCounts) {
    const char16_t text[] = u"a\0b";
    BSTR value = SysAllocStringLen(text, 3);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(SysStringLen(value), 3u);
    EXPECT_EQ(bstr_view(value), std::u16string_view(text, 3));
    EXPECT_EQ(value[3], u'\0');   // terminated past its length
    SysFreeString(value);

    BSTR bytes = SysAllocStringByteLen("abc", 3);
    EXPECT_EQ(SysStringByteLen(bytes), 3u);
    EXPECT_EQ(SysStringLen(bytes), 1u);
    SysFreeString(bytes);

    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    BSTR copied = SysAllocString(u"xy\0z");
    EXPECT_EQ(SysStringLen(copied), 2u);   // up to the first NUL
    SysFreeString(copied);
}

TEST(SafeArray, ReportsBoundsIncludingEmptyArrays) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 5, 3);
    ASSERT_NE(array, nullptr);
    LONG lower = 0;
    LONG upper = 0;
    EXPECT_EQ(SafeArrayGetLBound(array, 1, &lower), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
    EXPECT_EQ(lower, 5);
    EXPECT_EQ(upper, 7);
    EXPECT_EQ(SafeArrayGetLBound(array, 2, &lower), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);

    SAFEARRAY* empty = SafeArrayCreateVector(VT_UI1, 0, 0);
    ASSERT_NE(empty, nullptr);
    SafeArrayGetUBound(empty, 1, &upper);
    EXPECT_EQ(upper, -1);
    SafeArrayDestroy(empty);

    SAFEARRAYBOUND two[2] = {{2, 0}, {2, 0}};
    EXPECT_EQ(SafeArrayCreate(VT_UI1, 2, two), nullptr);    // one dimension only
    EXPECT_EQ(SafeArrayCreate(VT_BSTR, 1, two), nullptr);   // fixed-size elements only
    SAFEARRAYBOUND huge{0x80000000u, 0};
    EXPECT_EQ(SafeArrayCreate(VT_I4, 1, &huge), nullptr);   // 8 GiB does not fit 32 bits
}

TEST(SafeArray, RefusesToDestroyOrResizeWhileLocked) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 4);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
    SAFEARRAYBOUND bigger{8, 0};
    EXPECT_EQ(SafeArrayRedim(array, &bigger), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
    EXPECT_EQ(SafeArrayUnaccessData(array), E_UNEXPECTED);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, RedimKeepsDataAndZeroFillsGrowth) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 2);
    std::memcpy(array->pvData, "\x11\x22", 2);
    SAFEARRAYBOUND bigger{4, 0};
    ASSERT_EQ(SafeArrayRedim(array, &bigger), S_OK);
    const BYTE expected[] = {0x11, 0x22, 0, 0};
    EXPECT_EQ(std::memcmp(array->pvData, expected, 4), 0);
    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(array, &copy), S_OK);
    static_cast<BYTE*>(array->pvData)[0] = 0x99;
    EXPECT_EQ(static_cast<BYTE*>(copy->pvData)[0], 0x11);   // deep copy
    SafeArrayDestroy(copy);
    SafeArrayDestroy(array);
}

TEST(VariantCopy, CopiesTextDeeplyAndReplacesTheTarget) {
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocStringLen(u"a\0b", 3);
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = SysAllocString(u"old");   // freed by the copy (leak check under ASan)
    ASSERT_EQ(VariantCopy(&target, &source), S_OK);
    EXPECT_NE(target.bstrVal, source.bstrVal);
    EXPECT_EQ(bstr_view(target.bstrVal), std::u16string_view(u"a\0b", 3));
    VariantClear(&source);
    VariantClear(&target);
    EXPECT_EQ(target.vt, VT_EMPTY);

    VARIANT bad;
    VariantInit(&bad);
    bad.vt = VARTYPE(99);
    EXPECT_EQ(VariantCopy(&target, &bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
}

TEST(VariantLayout, DecimalOverlaysTheTypeWord) {
    VARIANT value;
    VariantInit(&value);
    value.decVal.scale = 2;
    value.vt = VT_DECIMAL;
    EXPECT_EQ(value.decVal.wReserved, VT_DECIMAL);
    EXPECT_EQ(value.decVal.scale, 2);
}

// Random values and texts through VariantChangeType and the Var… parsers, every source type
// to every target: a result is either of the target type or a designed failure that leaves
// the destination as it was. Run under ASan/UBSan by the fuzz label.
#include "platform/oleaut/oleaut.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

constexpr int SAMPLES = 3000;

const VARTYPE TYPES[] = {VT_EMPTY, VT_NULL, VT_I2,    VT_I4,   VT_R4,      VT_R8,  VT_CY,
                         VT_DATE,  VT_BSTR, VT_ERROR, VT_BOOL, VT_DECIMAL, VT_I1,  VT_UI1,
                         VT_UI2,   VT_UI4,  VT_I8,    VT_UI8,  VT_INT,     VT_UINT};

const char16_t ALPHABET[] = u"0123456789-+.,eE $&HhOx:/ APMTFebruary\t";

std::u16string random_text(std::mt19937_64& random) {
    std::u16string text;
    std::size_t length = random() % 40;
    for (std::size_t char_idx = 0; char_idx < length; ++char_idx) {
        text.push_back(random() % 8 == 0 ? char16_t(random() % 0x10000)
                                         : ALPHABET[random() % (std::size(ALPHABET) - 1)]);
    }
    return text;
}

// A VARIANT of the type with random payload bits (a valid DECIMAL scale, a real BSTR).
void fill_random(VARTYPE vt, std::mt19937_64& random, VARIANT* value) {
    VariantInit(value);
    std::uint64_t bits[2] = {random(), random()};
    if (random() % 4 == 0) bits[0] &= 0xFF;   // small numbers too
    std::memcpy(&value->llVal, &bits[0], sizeof bits[0]);
    if (vt == VT_DECIMAL) {
        value->decVal.Lo64 = bits[0];
        value->decVal.Hi32 = ULONG(bits[1]);
        value->decVal.scale = BYTE(bits[1] % 29);
        value->decVal.sign = (bits[1] >> 40) % 2 ? DECIMAL_NEG : 0;
    }
    if (vt == VT_BSTR) {
        std::u16string text = random_text(random);
        value->bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
    }
    value->vt = vt;
}

}   // namespace

TEST(ChangeTypeFuzz, EveryPairGivesTheTargetOrLeavesTheDestination) {
    std::mt19937_64 random(7);
    for (int sample_idx = 0; sample_idx < SAMPLES; ++sample_idx) {
        VARTYPE source_type = TYPES[random() % std::size(TYPES)];
        VARIANT source;
        fill_random(source_type, random, &source);
        for (VARTYPE target : TYPES) {
            VARIANT result;
            VariantInit(&result);
            result.vt = VT_I4;
            result.lVal = 1234;
            HRESULT hr = VariantChangeType(&result, &source, 0, target);
            if (SUCCEEDED(hr)) {
                ASSERT_EQ(result.vt, target) << source_type << "->" << target;
            } else {
                ASSERT_TRUE(hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW
                            || hr == E_INVALIDARG)
                    << std::hex << hr;
                ASSERT_EQ(result.lVal, 1234);
            }
            VariantClear(&result);
        }
        VariantClear(&source);
    }
}

TEST(NumberTextFuzz, ParsersAcceptOrRefuseCleanly) {
    std::mt19937_64 random(11);
    for (int sample_idx = 0; sample_idx < SAMPLES * 3; ++sample_idx) {
        std::u16string text = random_text(random);
        CY currency{};
        DECIMAL decimal{};
        HRESULT hr = VarCyFromStr(text.c_str(), LOCALE_EN_US, 0, &currency);
        ASSERT_TRUE(hr == S_OK || hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW);
        hr = VarDecFromStr(text.c_str(), LOCALE_EN_US, 0, &decimal);
        ASSERT_TRUE(hr == S_OK || hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW);
        if (hr != S_OK) continue;
        BSTR printed = nullptr;   // what is read prints and reads back to the same decimal
        ASSERT_EQ(VarBstrFromDec(&decimal, LOCALE_EN_US, 0, &printed), S_OK);
        DECIMAL again{};
        ASSERT_EQ(VarDecFromStr(printed, LOCALE_EN_US, 0, &again), S_OK);
        BSTR reprinted = nullptr;
        ASSERT_EQ(VarBstrFromDec(&again, LOCALE_EN_US, 0, &reprinted), S_OK);
        ASSERT_EQ(bstr_view(printed), bstr_view(reprinted));
        SysFreeString(printed);
        SysFreeString(reprinted);
    }
}

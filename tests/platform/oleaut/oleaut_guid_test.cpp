// Tests of the GUID text form and of com_object's reference counting.
#include "platform/oleaut/oleaut_guid.hpp"
#include "platform/oleaut/oleaut_unknown.hpp"

#include <gtest/gtest.h>

namespace {

constexpr GUID SAMPLE = {
    0x00112233, 0x4455, 0x6677, {0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}};
constexpr IID IID_SAMPLE = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};

struct sample_interface : IUnknown {
    virtual int answer() = 0;
};

class sample_object : public com_object, public sample_interface {
public:
    explicit sample_object(bool* new_destroyed) : destroyed(new_destroyed) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        return com_object::QueryInterface(iid, out);
    }
    ULONG AddRef() override { return com_object::AddRef(); }
    ULONG Release() override { return com_object::Release(); }
    int answer() override { return 42; }

protected:
    ~sample_object() override { *destroyed = true; }
    void* find_interface(REFIID iid) override {
        return iid == IID_SAMPLE ? static_cast<sample_interface*>(this) : nullptr;
    }

private:
    bool* destroyed;
};

}   // namespace

TEST(GuidText, WritesAndReadsTheBracedForm) {
    EXPECT_EQ(guid_to_wstring(SAMPLE), u"{00112233-4455-6677-8899-AABBCCDDEEFF}");
    EXPECT_EQ(guid_to_string(IID_IUnknown), "{00000000-0000-0000-C000-000000000046}");
    GUID back{};
    ASSERT_EQ(guid_from_wstring(u"{00112233-4455-6677-8899-aabbccddeeff}", &back), S_OK);
    EXPECT_EQ(back, SAMPLE);
    OLECHAR buffer[39];
    EXPECT_EQ(StringFromGUID2(SAMPLE, buffer, 39), 39);
    EXPECT_EQ(StringFromGUID2(SAMPLE, buffer, 38), 0);
}

// The stored order .NET documents for Guid.ToByteArray and SQL Server keeps for
// uniqueidentifier: the first three groups byte-swapped, the last two as written.
TEST(GuidBytes, FirstThreeGroupsAreLittleEndianTheRestInOrder) {
    const guid_bytes stored = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                               0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(guid_from_bytes(stored), SAMPLE);
    EXPECT_EQ(guid_to_bytes(SAMPLE), stored);
    EXPECT_EQ(guid_to_string(guid_from_bytes(guid_to_bytes(IID_SAMPLE))),
              "{12345678-9ABC-DEF0-0102-030405060708}");
}

// Jet's index keys sort GUIDs in the order their text reads: every byte as written.
TEST(GuidBytes, TextOrderReadsAsTheTextIsWritten) {
    const guid_bytes spelled = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(guid_to_text_order_bytes(SAMPLE), spelled);
}

TEST(GuidText, RefusesMalformedText) {
    GUID guid = SAMPLE;
    for (const char16_t* bad :
         {u"", u"00112233-4455-6677-8899-AABBCCDDEEFF", u"{00112233-4455-6677-8899-AABBCCDDEEF}",
          u"{00112233-4455-6677-8899-AABBCCDDEEFG}", u"{00112233+4455-6677-8899-AABBCCDDEEFF}",
          u"{00112233-4455-6677-8899-AABBCCDDEEFF}x"}) {
        EXPECT_EQ(CLSIDFromString(bad, &guid), CO_E_CLASSSTRING);
    }
    EXPECT_EQ(CLSIDFromString(nullptr, &guid), CO_E_CLASSSTRING);
    EXPECT_EQ(guid, SAMPLE);
}

TEST(ComObject, CountsReferencesAndAnswersItsInterfaces) {
    bool destroyed = false;
    sample_object* object = com_new<sample_object>(&destroyed);
    sample_interface* sample = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_SAMPLE, reinterpret_cast<void**>(&sample)), S_OK);
    EXPECT_EQ(sample->answer(), 42);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(object->QueryInterface(SAMPLE, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(sample->Release(), 1u);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_TRUE(destroyed);
}

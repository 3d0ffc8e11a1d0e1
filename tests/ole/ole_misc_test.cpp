// Tests of ole_guid_extractor (Access replication-ID text) and ole_com_ptr.
#include "ole/ole_misc.hpp"
#include "ole/ole_ptr.hpp"

#include <gtest/gtest.h>

namespace {

const std::u16string REPLICATION_ID = u"{guid {0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}}";

class counted : public com_object {
public:
    explicit counted(int* alive) : alive(alive) { ++*alive; }
    int value() const { return 7; }

protected:
    ~counted() override { --*alive; }

private:
    int* alive;
};

}  // namespace

TEST(OleGuidExtractor, FindsTheGuidInReplicationIdText) {
    ole_guid_extractor extractor(REPLICATION_ID);
    ASSERT_TRUE(extractor.is_found());
    EXPECT_EQ(extractor.get_guid(), u"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    EXPECT_EQ(extractor.get_guid_digits(), u"0F1E2D3C4B5A69788796A5B4C3D2E1F0");
    ole_guid_extractor upper(std::string("{GUID {0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}}"));
    EXPECT_EQ(upper.get_guid_digits(), u"0F1E2D3C4B5A69788796A5B4C3D2E1F0");
}

TEST(OleGuidExtractor, FindsNothingInShortOrForeignText) {
    ole_guid_extractor short_text(REPLICATION_ID.substr(0, 44));
    EXPECT_FALSE(short_text.is_found());
    EXPECT_EQ(short_text.get_guid(), u"");
    EXPECT_EQ(short_text.get_guid_digits(), u"");
    EXPECT_FALSE(ole_guid_extractor(std::u16string(50, u'x')).is_found());
    // A brace too near the end holds no whole GUID: nothing found, nothing read past the end.
    ole_guid_extractor truncated(u"guid" + std::u16string(40, u' ') + u"{0F1E2D3C}");
    EXPECT_FALSE(truncated.is_found());
    EXPECT_EQ(truncated.get_guid_digits(), u"");
}

TEST(OleComPtr, ReleasesItsOneReference) {
    int alive = 0;
    {
        ole_com_ptr<counted> holder(com_new<counted>(&alive));
        EXPECT_EQ(alive, 1);
        EXPECT_EQ(holder->value(), 7);
        holder->AddRef();
        ole_com_ptr<counted> second(holder.get());   // takes over the added reference
        ole_com_ptr<counted> moved(std::move(holder));
        EXPECT_FALSE(holder);
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
}

TEST(OleComPtr, AssertsWhenReachedThroughEmpty) {
    ole_com_ptr<counted> empty;
    EXPECT_THROW(empty->value(), tk_mail_assertion);
    try {
        empty->value();
    } catch (const tk_mail_assertion& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Internal error: \ncode=" + tk_mail_assertion::location_code("ole_ptr", 94));
    }
}

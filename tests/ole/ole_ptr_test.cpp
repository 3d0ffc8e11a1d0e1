// Tests of ole_com_ptr.
#include "ole/ole_ptr.hpp"

#include <gtest/gtest.h>

namespace {

class counted : public com_object {
public:
    explicit counted(int* new_alive) : alive(new_alive) { ++*new_alive; }
    int value() const { return 7; }

protected:
    ~counted() override { --*alive; }

private:
    int* alive;
};

}   // namespace

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

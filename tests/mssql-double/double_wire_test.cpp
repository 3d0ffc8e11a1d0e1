// double_wire_test.cpp - the double against hand-made TDS packets: malformed headers and
// logins end that connection only, an attention is answered with DONE and its attention
// bit, and a bulk-load message nobody announced is refused with 4022.
#include "double_client.hpp"
#include "double_raw_client.hpp"

#include <gtest/gtest.h>

using double_test::batch;
using double_test::has_token;
using double_test::last_done_status;
using double_test::login7;
using double_test::raw_socket;

namespace {

bool double_still_serves() {
    return double_test::connection::open(double_test::fixture_port(), "Secret1", "") != nullptr;
}

}   // namespace

TEST(DoubleWire, HangsUpOnMalformedPacketsAndServesOthers) {
    {
        raw_socket s(double_test::fixture_port());
        ASSERT_TRUE(s.connected());
        s.send_bytes({0x12, 0x01, 0x00, 0x04, 0, 0, 0, 0});   // length under the header
        EXPECT_TRUE(s.receive_message().empty());
    }
    {
        raw_socket s(double_test::fixture_port());
        s.send_packet(0x10, {0x20, 0x00, 0x00});   // LOGIN7 cut short
        EXPECT_TRUE(s.receive_message().empty());
    }
    {
        raw_socket s(double_test::fixture_port());
        s.send_packet(0x01, batch(u"SELECT 1"));   // a batch before any login
        EXPECT_TRUE(s.receive_message().empty());
    }
    {
        raw_socket s(double_test::fixture_port());
        s.send_packet(0x12, {0x00, 0x00, 0x40, 0x00, 0x06, 0xFF});   // option beyond the end
        EXPECT_TRUE(s.receive_message().empty());
    }
    EXPECT_TRUE(double_still_serves());
}

TEST(DoubleWire, LogsInAnswersBatchesAndAttention) {
    raw_socket s(double_test::fixture_port());
    ASSERT_TRUE(s.connected());
    s.send_packet(0x10, login7());
    std::vector<std::uint8_t> reply = s.receive_message();
    ASSERT_FALSE(reply.empty());
    EXPECT_TRUE(has_token(reply, 0xAD));   // LOGINACK
    EXPECT_EQ(last_done_status(reply), 0);
    s.send_packet(0x01, batch(u"SELECT 1\nSELECT 2"));
    reply = s.receive_message();
    EXPECT_EQ(last_done_status(reply), 0x10);   // final DONE: count, no MORE
    s.send_packet(0x06, {});
    reply = s.receive_message();
    EXPECT_EQ(last_done_status(reply), 0x20);   // attention acknowledged
    s.send_packet(0x07, {0x81, 0x00, 0x00});    // bulk data without "insert bulk"
    reply = s.receive_message();
    ASSERT_FALSE(reply.empty());
    EXPECT_TRUE(has_token(reply, 0xAA));
    EXPECT_EQ(last_done_status(reply) & 0x02, 0x02);
}

TEST(DoubleWire, RefusesABadPasswordWithoutLoginAck) {
    std::vector<std::uint8_t> login = login7();
    login[login.size() - 1] ^= 0x01;   // the last password byte
    raw_socket s(double_test::fixture_port());
    s.send_packet(0x10, login);
    std::vector<std::uint8_t> reply = s.receive_message();
    ASSERT_FALSE(reply.empty());
    EXPECT_FALSE(has_token(reply, 0xAD));
    EXPECT_EQ(last_done_status(reply), 0x02);
}

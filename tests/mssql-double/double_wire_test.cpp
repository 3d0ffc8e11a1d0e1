// double_wire_test.cpp - the double against hand-made TDS packets: malformed headers and
// logins end that connection only, an attention is answered with DONE and its attention
// bit, and a bulk-load message nobody announced is refused with 4022.
#include "double_client.hpp"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class raw_socket {
public:
    explicit raw_socket(int port) {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(std::uint16_t(port));
        inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
        timeval timeout{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        b_connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~raw_socket() { ::close(fd); }

    bool connected() const { return b_connected; }
    void send_bytes(const std::vector<std::uint8_t>& bytes) {
        ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        (void)sent;
    }
    // One packet of `type` holding `payload`, end of message set.
    void send_packet(std::uint8_t type, const std::vector<std::uint8_t>& payload) {
        std::size_t length = payload.size() + 8;
        std::vector<std::uint8_t> packet = {
            type, 1, std::uint8_t(length >> 8), std::uint8_t(length & 0xFF), 0, 0, 1, 0};
        packet.insert(packet.end(), payload.begin(), payload.end());
        send_bytes(packet);
    }
    // The payload of one reply message; empty when the double hung up.
    std::vector<std::uint8_t> receive_message() {
        std::vector<std::uint8_t> message;
        while (true) {
            std::uint8_t header[8];
            if (!receive_exact(header, 8)) return {};
            std::size_t length = std::size_t((header[2] << 8) | header[3]);
            std::vector<std::uint8_t> body(length - 8);
            if (!body.empty() && !receive_exact(body.data(), body.size())) return {};
            message.insert(message.end(), body.begin(), body.end());
            if (header[1] & 1) return message;
        }
    }

private:
    bool receive_exact(std::uint8_t* buffer, std::size_t size) {
        std::size_t got = 0;
        while (got < size) {
            ssize_t n = ::recv(fd, buffer + got, size - got, 0);
            if (n <= 0) return false;
            got += std::size_t(n);
        }
        return true;
    }

    int fd = -1;
    bool b_connected = false;
};

void put_u16(std::vector<std::uint8_t>& out, std::size_t value) {
    out.push_back(std::uint8_t(value & 0xFF));
    out.push_back(std::uint8_t(value >> 8));
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put_u16(out, value & 0xFFFF);
    put_u16(out, value >> 16);
}

// A LOGIN7 for sa / Secret1, laid out as [MS-TDS] 2.2.6.4 describes.
std::vector<std::uint8_t> login7() {
    const std::u16string user = u"sa", password = u"Secret1";
    std::vector<std::uint8_t> fixed, data;
    std::size_t data_at = 94;
    auto field = [&](const std::u16string& text, bool obfuscate) {
        put_u16(fixed, data_at + data.size());
        put_u16(fixed, text.size());
        for (char16_t c : text) {
            for (std::uint8_t byte : {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)}) {
                if (obfuscate) byte = std::uint8_t(((byte << 4) | (byte >> 4)) ^ 0xA5);
                data.push_back(byte);
            }
        }
    };
    put_u32(fixed, 0);            // length, patched below
    put_u32(fixed, 0x74000004);   // TDS 7.4
    put_u32(fixed, 4096);
    for (int i = 0; i < 3; ++i) put_u32(fixed, 0);
    put_u32(fixed, 0xE0000000);   // option and type flags
    put_u32(fixed, 0);            // time zone
    put_u32(fixed, 0x0409);       // LCID
    field(u"host", false);
    field(user, false);
    field(password, true);
    for (int i = 0; i < 6; ++i) field(u"", false);    // app .. database
    for (int i = 0; i < 6; ++i) fixed.push_back(0);   // client id
    for (int i = 0; i < 3; ++i) field(u"", false);    // SSPI, attach file, change password
    put_u32(fixed, 0);
    fixed.insert(fixed.end(), data.begin(), data.end());
    std::uint32_t total = std::uint32_t(fixed.size());
    for (int i = 0; i < 4; ++i) fixed[std::size_t(i)] = std::uint8_t(total >> (8 * i));
    return fixed;
}

// The SQL batch payload: ALL_HEADERS with a transaction descriptor, then UTF-16 text.
std::vector<std::uint8_t> batch(const std::u16string& text) {
    std::vector<std::uint8_t> payload;
    put_u32(payload, 22);
    put_u32(payload, 18);
    put_u16(payload, 2);
    for (int i = 0; i < 8; ++i) payload.push_back(0);
    put_u32(payload, 1);
    for (char16_t c : text) put_u16(payload, c);
    return payload;
}

bool has_token(const std::vector<std::uint8_t>& message, std::uint8_t token) {
    for (std::uint8_t byte : message)
        if (byte == token) return true;
    return false;
}

// The status of the last DONE token: TDS puts it 12 bytes from the end.
int last_done_status(const std::vector<std::uint8_t>& message) {
    if (message.size() < 13 || message[message.size() - 13] != 0xFD) return -1;
    return message[message.size() - 12] | (message[message.size() - 11] << 8);
}

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

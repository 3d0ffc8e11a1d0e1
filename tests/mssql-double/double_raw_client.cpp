// double_raw_client.cpp - the hand-made TDS client of the double's wire tests.
#include "double_raw_client.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace double_test {
namespace {

constexpr std::uint8_t PACKET_SQL_BATCH = 0x01;
constexpr std::uint8_t PACKET_LOGIN7 = 0x10;
constexpr std::uint8_t TOKEN_ERROR = 0xAA;
constexpr std::uint8_t TOKEN_INFO = 0xAB;
constexpr std::uint8_t TOKEN_LOGINACK = 0xAD;
constexpr std::uint8_t TOKEN_ENVCHANGE = 0xE3;
constexpr std::uint8_t TOKEN_DONE = 0xFD;
constexpr std::size_t DONE_BYTES = 12;   // status 2, command 2, count 8

}   // namespace

raw_socket::raw_socket(int port) {
    fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    // Small packets go out at once, not held back for the double's delayed acknowledgement.
    int no_delay = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &no_delay, sizeof no_delay);
    b_connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

raw_socket::~raw_socket() { close_now(); }

void raw_socket::close_now() {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

void raw_socket::send_bytes(const std::vector<std::uint8_t>& bytes) {
    ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    (void)sent;   // a refused send shows as a missing reply
}

void raw_socket::send_packet(std::uint8_t type, const std::vector<std::uint8_t>& payload,
                             bool b_last) {
    std::size_t length = payload.size() + 8;
    std::vector<std::uint8_t> packet = {type,
                                        std::uint8_t(b_last ? 1 : 0),
                                        std::uint8_t(length >> 8),
                                        std::uint8_t(length & 0xFF),
                                        0,
                                        0,
                                        1,
                                        0};
    packet.insert(packet.end(), payload.begin(), payload.end());
    send_bytes(packet);
}

void raw_socket::send_message(std::uint8_t type, const std::vector<std::uint8_t>& payload,
                              const std::vector<std::size_t>& cuts) {
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        send_packet(type,
                    std::vector<std::uint8_t>(payload.begin() + std::ptrdiff_t(from),
                                              payload.begin() + std::ptrdiff_t(cut)),
                    false);
        from = cut;
    }
    send_packet(type,
                std::vector<std::uint8_t>(payload.begin() + std::ptrdiff_t(from), payload.end()));
}

std::vector<std::uint8_t> raw_socket::receive_message() {
    std::vector<std::uint8_t> message;
    while (true) {
        std::uint8_t header[8];
        if (!receive_exact(header, 8)) return {};
        std::size_t length = std::size_t((header[2] << 8) | header[3]);
        if (length < 8) return {};
        std::vector<std::uint8_t> body(length - 8);
        if (!body.empty() && !receive_exact(body.data(), body.size())) return {};
        message.insert(message.end(), body.begin(), body.end());
        if (header[1] & 1) return message;
    }
}

bool raw_socket::reply_pending(int wait_ms) {
    pollfd waiting{fd, POLLIN, 0};
    return ::poll(&waiting, 1, wait_ms) > 0;
}

bool raw_socket::log_in(const std::string& database) {
    send_packet(PACKET_LOGIN7, login7());
    if (!has_token(receive_message(), TOKEN_LOGINACK)) return false;
    std::u16string use = u"USE [";
    for (char c : database) use += char16_t(c);
    send_packet(PACKET_SQL_BATCH, batch(use + u"]"));
    int status = last_done_status(receive_message());
    return status >= 0 && (status & 0x02) == 0;
}

bool raw_socket::receive_exact(std::uint8_t* buffer, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        ssize_t n = ::recv(fd, buffer + got, size - got, 0);
        if (n <= 0) return false;
        got += std::size_t(n);
    }
    return true;
}

void put_u16(std::vector<std::uint8_t>& out, std::size_t value) {
    out.push_back(std::uint8_t(value & 0xFF));
    out.push_back(std::uint8_t(value >> 8));
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put_u16(out, value & 0xFFFF);
    put_u16(out, value >> 16);
}

// Laid out as [MS-TDS] 2.2.6.4 describes.
std::vector<std::uint8_t> login7(const std::u16string& password) {
    const std::u16string user = u"sa";
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

int last_done_status(const std::vector<std::uint8_t>& message) {
    if (message.size() < 13 || message[message.size() - 13] != TOKEN_DONE) return -1;
    return message[message.size() - 12] | (message[message.size() - 11] << 8);
}

std::uint64_t last_done_count(const std::vector<std::uint8_t>& message) {
    if (last_done_status(message) < 0) return 0;
    std::uint64_t count = 0;
    for (std::size_t i = 0; i < 8; ++i)
        count |= std::uint64_t(message[message.size() - 8 + i]) << (8 * i);
    return count;
}

std::vector<std::int32_t> error_numbers(const std::vector<std::uint8_t>& message) {
    std::vector<std::int32_t> numbers;
    std::size_t at = 0;
    while (at < message.size()) {
        std::uint8_t token = message[at];
        if (token == TOKEN_DONE || token == 0xFE || token == 0xFF) {
            at += 1 + DONE_BYTES;
            continue;
        }
        if (token != TOKEN_ERROR && token != TOKEN_INFO && token != TOKEN_ENVCHANGE) break;
        if (at + 3 > message.size()) break;
        std::size_t length = std::size_t(message[at + 1] | (message[at + 2] << 8));
        if (token == TOKEN_ERROR && at + 7 <= message.size()) {
            std::uint32_t number = 0;
            for (std::size_t i = 0; i < 4; ++i)
                number |= std::uint32_t(message[at + 3 + i]) << (8 * i);
            numbers.push_back(std::int32_t(number));
        }
        at += 3 + length;
    }
    return numbers;
}

bool has_token(const std::vector<std::uint8_t>& message, std::uint8_t token) {
    for (std::uint8_t byte : message)
        if (byte == token) return true;
    return false;
}

}   // namespace double_test

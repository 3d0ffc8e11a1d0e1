#pragma once
// dbl_packets.hpp - TDS packet framing. Header (8 bytes, big-endian lengths): type, status
// (bit 0 = end of message), length including the header, spid, packet id, window. A message
// is the payloads of its packets up to one with the end-of-message bit.

#include <cstdint>
#include <optional>
#include <vector>

constexpr std::uint8_t DBL_PACKET_SQL_BATCH = 1;
constexpr std::uint8_t DBL_PACKET_RPC = 3;
constexpr std::uint8_t DBL_PACKET_REPLY = 4;
constexpr std::uint8_t DBL_PACKET_ATTENTION = 6;
constexpr std::uint8_t DBL_PACKET_BULK = 7;
constexpr std::uint8_t DBL_PACKET_LOGIN7 = 16;
constexpr std::uint8_t DBL_PACKET_PRELOGIN = 18;

struct dbl_message {
    std::uint8_t type = 0;
    std::vector<std::uint8_t> payload;
};

class dbl_packet_io {
public:
    explicit dbl_packet_io(int socket_fd) : fd(socket_fd) {}
    // nullopt when the client closed the connection or sent a malformed header.
    std::optional<dbl_message> read_message();
    // Splits into packets of at most packet_size bytes; false when the socket failed.
    bool write_message(std::uint8_t type, const std::vector<std::uint8_t>& payload);
    void set_packet_size(std::size_t size) { packet_size = size; }
    void set_spid(int id) { spid = id; }

private:
    bool read_exact(std::uint8_t* buffer, std::size_t size);

    int fd;
    std::size_t packet_size = 4096;
    int spid = 0;
};

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

// What the double keeps of one message (or of one bulk row) at most: it protects the double
// from a runaway client.
constexpr std::size_t DBL_MAX_MESSAGE_BYTES = std::size_t(1) << 30;

// Thrown where the connection must close without an answer: a malformed or missing packet
// in the middle of a message, or the drop-after-N-bulk-rows fault.
struct dbl_drop_connection {};

struct dbl_packet_header {
    std::uint8_t type = 0;
    bool b_last = false;          // end of message
    std::size_t body_bytes = 0;   // the payload that follows the header
};

struct dbl_message {
    std::uint8_t type = 0;
    std::vector<std::uint8_t> payload;
};

class dbl_packet_io {
public:
    explicit dbl_packet_io(int socket_fd) : fd(socket_fd) {}
    // nullopt when the client closed the connection or sent a length under the header's.
    std::optional<dbl_packet_header> read_header();
    // Appends the packet's payload to `into`; false when the connection failed.
    bool read_body(const dbl_packet_header& header, std::vector<std::uint8_t>& into);
    // The message that `first` starts, all its packets read; nullopt when the connection
    // failed, a packet was malformed or of another type, or the message grew too large.
    std::optional<dbl_message> read_message(const dbl_packet_header& first);
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

// dbl_packets.cpp - reading and writing TDS packets on a socket.
#include "dbl_packets.hpp"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

bool dbl_packet_io::read_exact(std::uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t got = ::recv(fd, buffer + done, size - done, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += std::size_t(got);
    }
    return true;
}

std::optional<dbl_packet_header> dbl_packet_io::read_header() {
    std::uint8_t header[8];
    if (!read_exact(header, sizeof header)) return std::nullopt;
    std::size_t length = std::size_t((header[2] << 8) | header[3]);
    if (length < 8) return std::nullopt;   // a length under the header is malformed
    return dbl_packet_header{header[0], (header[1] & 0x01) != 0, length - 8};
}

bool dbl_packet_io::read_body(const dbl_packet_header& header, std::vector<std::uint8_t>& into) {
    std::size_t at = into.size();
    into.resize(at + header.body_bytes);
    return header.body_bytes == 0 || read_exact(into.data() + at, header.body_bytes);
}

std::optional<dbl_message> dbl_packet_io::read_message(const dbl_packet_header& first) {
    dbl_message message;
    message.type = first.type;
    dbl_packet_header header = first;
    while (true) {
        if (message.payload.size() + header.body_bytes > DBL_MAX_MESSAGE_BYTES) return std::nullopt;
        if (!read_body(header, message.payload)) return std::nullopt;
        if (header.b_last) return message;
        auto next = read_header();
        if (!next || next->type != message.type) return std::nullopt;
        header = *next;
    }
}

bool dbl_packet_io::write_message(std::uint8_t type, const std::vector<std::uint8_t>& payload) {
    std::size_t chunk = packet_size > 8 ? packet_size - 8 : 4088;
    std::size_t at = 0;
    std::uint8_t packet_id = 1;
    std::vector<std::uint8_t> packet;
    do {
        std::size_t size = std::min(chunk, payload.size() - at);
        bool last = at + size == payload.size();
        std::size_t length = size + 8;
        packet.assign({type, std::uint8_t(last ? 1 : 0), std::uint8_t(length >> 8),
                       std::uint8_t(length & 0xFF), std::uint8_t(spid >> 8),
                       std::uint8_t(spid & 0xFF), packet_id++, 0});
        packet.insert(packet.end(), payload.begin() + std::ptrdiff_t(at),
                      payload.begin() + std::ptrdiff_t(at + size));
        std::size_t sent = 0;
        while (sent < packet.size()) {
            ssize_t wrote = ::send(fd, packet.data() + sent, packet.size() - sent, MSG_NOSIGNAL);
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) return false;
            sent += std::size_t(wrote);
        }
        at += size;
    } while (at < payload.size());
    return true;
}

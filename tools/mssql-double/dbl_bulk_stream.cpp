// dbl_bulk_stream.cpp - the packets of a bulk-load message, one at a time.
#include "dbl_bulk_stream.hpp"

#include <utility>

dbl_bulk_stream::dbl_bulk_stream(dbl_packet_io& packet_io, const dbl_packet_header& first)
    : io(packet_io), first_header(first) {}

void dbl_bulk_stream::read_packet() {
    if (b_last_read) throw dbl_short_input("the message has ended");
    // The next header is read only when its bytes are wanted: rows already in are stored
    // while the client is still encoding the packet after them.
    std::optional<dbl_packet_header> header = std::exchange(first_header, std::nullopt);
    if (!header) header = io.read_header();
    if (!header || header->type != DBL_PACKET_BULK) throw dbl_drop_connection{};
    if (consumed > 0) {   // keep only the unread tail: the start of a row, at most
        buffer.erase(buffer.begin(), buffer.begin() + std::ptrdiff_t(consumed));
        consumed = 0;
    }
    if (buffer.size() + header->body_bytes > DBL_MAX_MESSAGE_BYTES) throw dbl_drop_connection{};
    if (!io.read_body(*header, buffer)) throw dbl_drop_connection{};
    b_last_read = header->b_last;
}

bool dbl_bulk_stream::at_end() {
    while (unread() == 0 && !b_last_read) read_packet();
    return unread() == 0;
}

void dbl_bulk_stream::drain() {
    consumed = buffer.size();
    while (!b_last_read) {
        read_packet();
        consumed = buffer.size();
    }
}

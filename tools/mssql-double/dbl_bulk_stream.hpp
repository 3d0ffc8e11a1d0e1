#pragma once
// dbl_bulk_stream.hpp - a bulk-load message read as its packets arrive, so the rows of a
// batch are stored while the client is still encoding the next ones, as SQL Server does.
//   1. The stream keeps the unread bytes of the packet at hand, and of a row that began in
//      an earlier packet: never the whole message (a million-row batch is one message).
//   2. A decode that runs out of bytes before the last packet is run again from its start
//      once more bytes are in; only at the end of the message is a short row a fault.
//   3. Before a decode the stream reads on while fewer bytes are at hand than the longest
//      whole read so far, so a row rarely meets the end of the bytes: a C++ exception for
//      each packet boundary cost a narrow bulk row more than its own decoding.
//   4. A failed read or a malformed packet in the middle of the message ends the connection
//      (dbl_drop_connection): TDS cannot resynchronise within a message.

#include "dbl_bytes.hpp"
#include "dbl_packets.hpp"

#include <algorithm>

class dbl_bulk_stream {
public:
    // `first` is the header of the message's first packet, its body not yet read.
    dbl_bulk_stream(dbl_packet_io& packet_io, const dbl_packet_header& first);

    // Runs `decode(dbl_reader&)` over the unread bytes and consumes what it read. A
    // dbl_short_input before the last packet reads on and runs it again (invariant 2), so
    // `decode` must only fill what the next run overwrites.
    template <class Decode>
    void read_whole(Decode&& decode);
    // True when every byte of the message has been read and consumed.
    bool at_end();
    // Reads and discards the rest of the message: TDS answers a message only after its last
    // packet, also when its rows were refused early.
    void drain();

private:
    std::size_t unread() const { return buffer.size() - consumed; }
    void read_packet();

    dbl_packet_io& io;
    std::optional<dbl_packet_header> first_header;   // until its body is read
    bool b_last_read = false;
    std::vector<std::uint8_t> buffer;
    std::size_t consumed = 0;
    std::size_t longest_read = 0;   // invariant 3
};

template <class Decode>
void dbl_bulk_stream::read_whole(Decode&& decode) {
    while (!b_last_read && unread() < longest_read) read_packet();
    std::size_t tried_bytes = 0;
    while (true) {
        if (unread() > 0 || b_last_read) {
            const std::span<const std::uint8_t> at_hand(buffer);
            dbl_reader reader(at_hand.subspan(consumed), !b_last_read);
            try {
                decode(reader);
                consumed += reader.position();
                longest_read = std::max(longest_read, reader.position());
                return;
            } catch (const dbl_short_input&) {
                if (b_last_read) throw;
            }
            tried_bytes = unread();
        }
        // Decode again only once the bytes at hand have doubled: a value spread over many
        // packets then costs a few decodes of itself, not one per packet.
        do read_packet();
        while (!b_last_read && unread() < 2 * tried_bytes);
    }
}

#pragma once
// double_raw_client.hpp - a TDS client made of hand-written bytes, for what db-lib never
// sends: malformed headers, messages cut into packets where the test chooses, a connection
// that goes away in the middle of a message. Layouts as [MS-TDS] describes them.

#include <cstdint>
#include <string>
#include <vector>

namespace double_test {

class raw_socket {
public:
    explicit raw_socket(int port);
    ~raw_socket();
    raw_socket(const raw_socket&) = delete;
    raw_socket& operator=(const raw_socket&) = delete;

    bool connected() const { return b_connected; }
    void send_bytes(const std::vector<std::uint8_t>& bytes);
    // One packet of `type` holding `payload`; `b_last` sets the end-of-message bit.
    void send_packet(std::uint8_t type, const std::vector<std::uint8_t>& payload,
                     bool b_last = true);
    // `payload` as a message of packets that end at the offsets `cuts` (ascending, inside
    // the payload) and at its end.
    void send_message(std::uint8_t type, const std::vector<std::uint8_t>& payload,
                      const std::vector<std::size_t>& cuts);
    // The payload of one reply message; empty when the double hung up.
    std::vector<std::uint8_t> receive_message();
    // True when a reply has begun to arrive within `wait_ms` (none is expected yet).
    bool reply_pending(int wait_ms);
    // Logs in as sa / Secret1 and makes `database` current; false when either failed.
    bool log_in(const std::string& database);
    void close_now();

private:
    bool receive_exact(std::uint8_t* buffer, std::size_t size);

    int fd = -1;
    bool b_connected = false;
};

void put_u16(std::vector<std::uint8_t>& out, std::size_t value);
void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value);
// A LOGIN7 for sa with `password`, initial database master.
std::vector<std::uint8_t> login7(const std::u16string& password = u"Secret1");
// The SQL batch payload: ALL_HEADERS with a transaction descriptor, then UTF-16 text.
std::vector<std::uint8_t> batch(const std::u16string& text);

// The status of the last DONE token: TDS puts it 12 bytes from the end; -1 when the
// message does not end with DONE.
int last_done_status(const std::vector<std::uint8_t>& message);
// The row count of the last DONE token.
std::uint64_t last_done_count(const std::vector<std::uint8_t>& message);
// The numbers of the ERROR tokens of a reply without result sets, in order.
std::vector<std::int32_t> error_numbers(const std::vector<std::uint8_t>& message);
bool has_token(const std::vector<std::uint8_t>& message, std::uint8_t token);

}   // namespace double_test

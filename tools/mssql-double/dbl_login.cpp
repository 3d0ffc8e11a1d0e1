// dbl_login.cpp - PRELOGIN and LOGIN7 parsing.
#include "dbl_login.hpp"

#include "dbl_text.hpp"

namespace {

constexpr std::size_t LOGIN7_FIXED = 94;
constexpr std::size_t OPTION_FLAGS_2 = 25;
constexpr std::uint8_t F_ODBC = 0x02;

std::u16string field(std::span<const std::uint8_t> payload, std::size_t pair_at) {
    dbl_reader pair(payload.subspan(pair_at, 4));
    std::size_t offset = pair.u16_le();
    std::size_t chars = pair.u16_le();
    if (chars == 0) return u"";
    if (offset > payload.size() || chars * 2 > payload.size() - offset)
        throw dbl_short_input("login field outside the message");
    dbl_reader text(payload.subspan(offset, chars * 2));
    return text.utf16(chars);
}

std::string password_field(std::span<const std::uint8_t> payload) {
    dbl_reader pair(payload.subspan(44, 4));
    std::size_t offset = pair.u16_le();
    std::size_t chars = pair.u16_le();
    if (offset > payload.size() || chars * 2 > payload.size() - offset)
        throw dbl_short_input("password outside the message");
    std::u16string text;
    for (std::size_t i = 0; i < chars; ++i) {
        std::uint8_t bytes[2];
        for (int j = 0; j < 2; ++j) {
            std::uint8_t b = payload[offset + 2 * i + std::size_t(j)] ^ 0xA5;
            bytes[j] = std::uint8_t(((b & 0x0F) << 4) | (b >> 4));
        }
        text.push_back(char16_t(bytes[0] | (bytes[1] << 8)));
    }
    return dbl_utf8(text);
}

}   // namespace

std::optional<dbl_login_request> dbl_parse_login7(std::span<const std::uint8_t> payload) {
    if (payload.size() < LOGIN7_FIXED) return std::nullopt;
    try {
        dbl_reader head(payload);
        std::uint32_t length = head.u32_le();
        if (length > payload.size() || length < LOGIN7_FIXED) return std::nullopt;
        payload = payload.subspan(0, length);
        dbl_login_request login;
        login.tds_version = head.u32_le();
        login.packet_size = head.u32_le();
        login.b_odbc = (payload[OPTION_FLAGS_2] & F_ODBC) != 0;
        login.host = dbl_utf8(field(payload, 36));
        login.user = dbl_utf8(field(payload, 40));
        login.password = password_field(payload);
        login.app = dbl_utf8(field(payload, 48));
        login.server = dbl_utf8(field(payload, 52));
        login.library = dbl_utf8(field(payload, 60));
        login.language = dbl_utf8(field(payload, 64));
        login.database = dbl_utf8(field(payload, 68));
        return login;
    } catch (const dbl_short_input&) {
        return std::nullopt;
    }
}

std::optional<std::vector<std::uint8_t>> dbl_prelogin_reply(std::span<const std::uint8_t> payload,
                                                            int major, int minor, int build) {
    try {
        dbl_reader options(payload);
        while (true) {
            std::uint8_t token = options.u8();
            if (token == 0xFF) break;
            std::size_t offset = options.u16_be();
            std::size_t size = options.u16_be();
            if (offset > payload.size() || size > payload.size() - offset) return std::nullopt;
        }
    } catch (const dbl_short_input&) {
        return std::nullopt;
    }
    // VERSION(6) ENCRYPTION(1) INSTOPT(1) THREADID(0) MARS(1), then the terminator.
    const std::uint8_t tokens[] = {0x00, 0x01, 0x02, 0x03, 0x04};
    const std::uint16_t sizes[] = {6, 1, 1, 0, 1};
    dbl_writer w;
    std::uint16_t offset = 5 * 5 + 1;
    for (int i = 0; i < 5; ++i) {
        w.u8(tokens[i]);
        w.u16_be(offset);
        w.u16_be(sizes[i]);
        offset = std::uint16_t(offset + sizes[i]);
    }
    w.u8(0xFF);
    w.u8(std::uint8_t(major));
    w.u8(std::uint8_t(minor));
    w.u16_be(std::uint16_t(build));
    w.u16_be(0);
    w.u8(0x02);   // ENCRYPT_NOT_SUP: the login goes in clear text
    w.u8(0x00);
    w.u8(0x00);
    return w.bytes;
}

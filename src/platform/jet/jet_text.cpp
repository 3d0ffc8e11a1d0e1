#include "platform/jet/jet_text.hpp"

#include <cerrno>
#include <iconv.h>
#include <string>

#include "platform/winbase/win_codepage.hpp"

namespace {

constexpr char16_t REPLACEMENT = u'\uFFFD';
// What iconv_open returns when it cannot convert: (iconv_t)-1, an integer made a pointer.
// NOLINTNEXTLINE(performance-no-int-to-ptr): iconv's own failure value, nothing to optimise
const iconv_t ICONV_OPEN_FAILED = iconv_t(-1);

void append_utf16le(std::u16string& out, std::span<const std::uint8_t> bytes) {
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
        out.push_back(char16_t(bytes[at] | (bytes[at + 1] << 8)));
}

std::string iconv_name(std::uint16_t code_page) {
    if (code_page == 0) return "CP1252";
    return "CP" + std::to_string(code_page);
}

}   // namespace

std::u16string jet_decode_unicode(std::span<const std::uint8_t> bytes) {
    std::u16string out;
    bool compressed = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
    if (!compressed) {
        out.reserve(bytes.size() / 2);
        append_utf16le(out, bytes);
        return out;
    }
    out.reserve(bytes.size());
    bool one_byte_mode = true;
    std::size_t at = 2;
    while (at < bytes.size()) {
        if (bytes[at] == 0x00) {   // mode switch
            one_byte_mode = !one_byte_mode;
            ++at;
        } else if (one_byte_mode) {
            out.push_back(char16_t(bytes[at++]));
        } else if (at + 1 < bytes.size()) {
            out.push_back(char16_t(bytes[at] | (bytes[at + 1] << 8)));
            at += 2;
        } else {
            break;   // an odd byte at the end cannot be a character
        }
    }
    return out;
}

std::string jet_utf8(const std::u16string& text) { return win_utf16_to_utf8(text); }

// Windows-1252 goes through the toolkit's table, which keeps the five bytes the code page
// leaves undefined as the C1 controls Windows gives them; iconv would refuse them.
jet_text_decoder::jet_text_decoder(bool jet3, std::uint16_t code_page) : is_jet3(jet3) {
    if (!jet3 || code_page == 1252 || code_page == 0) return;
    iconv_t handle = ::iconv_open("UTF-16LE", iconv_name(code_page).c_str());
    if (handle != ICONV_OPEN_FAILED) converter = handle;
}

bool jet_text_decoder::can_decode(std::uint16_t code_page) {
    if (code_page == 1252) return true;
    iconv_t handle = ::iconv_open("UTF-16LE", iconv_name(code_page).c_str());
    if (handle == ICONV_OPEN_FAILED) return false;
    ::iconv_close(handle);
    return true;
}

jet_text_decoder::~jet_text_decoder() {
    if (converter) ::iconv_close(iconv_t(converter));
}

std::u16string jet_text_decoder::decode(std::span<const std::uint8_t> bytes) const {
    if (!is_jet3) return jet_decode_unicode(bytes);
    return decode_code_page(bytes);
}

std::u16string jet_text_decoder::decode_code_page(std::span<const std::uint8_t> bytes) const {
    std::string narrow(bytes.begin(), bytes.end());
    if (!converter) return win_cp1252_to_utf16(narrow);
    iconv_t handle = iconv_t(converter);
    ::iconv(handle, nullptr, nullptr, nullptr, nullptr);
    std::u16string out;
    std::string buffer(narrow.size() * 4 + 8, '\0');
    char* in_ptr = narrow.data();
    std::size_t in_left = narrow.size();
    while (in_left > 0) {
        char* out_ptr = buffer.data();
        std::size_t out_left = buffer.size();
        std::size_t result = ::iconv(handle, &in_ptr, &in_left, &out_ptr, &out_left);
        std::size_t produced = buffer.size() - out_left;
        for (std::size_t at = 0; at + 1 < produced; at += 2) {
            std::uint8_t low = std::uint8_t(buffer[at]);
            std::uint8_t high = std::uint8_t(buffer[at + 1]);
            out.push_back(char16_t(low | (high << 8)));
        }
        if (result != std::size_t(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: a byte the code page does not define, or a cut double-byte
        // character at the end; one replacement character, then go on.
        out.push_back(REPLACEMENT);
        ++in_ptr;
        --in_left;
        ::iconv(handle, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

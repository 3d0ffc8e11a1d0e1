#include "platform/jet/jet_text_encoder.hpp"

#include <optional>

namespace {

constexpr std::size_t MAX_COMPRESSED_CHARS = 1024;
constexpr std::uint8_t MODE_SWITCH = 0x00;

bool is_one_byte(char16_t unit) { return unit != 0 && unit <= 0xFF; }

std::optional<std::vector<std::uint8_t>> compressed(std::u16string_view text) {
    std::vector<std::uint8_t> bytes = {0xFF, 0xFE};
    bool one_byte_mode = true;
    for (char16_t unit : text) {
        if (unit == 0 || (!is_one_byte(unit) && (unit & 0xFF) == 0)) return std::nullopt;
        if (is_one_byte(unit) != one_byte_mode) {
            bytes.push_back(MODE_SWITCH);
            one_byte_mode = !one_byte_mode;
        }
        bytes.push_back(std::uint8_t(unit));
        if (!one_byte_mode) bytes.push_back(std::uint8_t(unit >> 8));
    }
    return bytes;
}

}   // namespace

std::vector<std::uint8_t> jet_encode_unicode(std::u16string_view text, bool compress) {
    if (compress && !text.empty() && text.size() <= MAX_COMPRESSED_CHARS) {
        std::optional<std::vector<std::uint8_t>> packed = compressed(text);
        if (packed && packed->size() < text.size() * 2) return *packed;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(std::uint8_t(unit));
        bytes.push_back(std::uint8_t(unit >> 8));
    }
    return bytes;
}

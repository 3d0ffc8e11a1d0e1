// ole_misc.cpp - ole_guid_extractor. Access writes a replication ID as
// "{guid {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}}"; the braced GUID starts at the first '{'
// from four characters after the word "guid" (lower case preferred, then "GUID").
#include "ole/ole_misc.hpp"

#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

namespace {

constexpr std::size_t REPLICATION_ID_CHARS = 45;
constexpr std::size_t BRACED_GUID_CHARS = 38;

long position_or_minus_one(std::size_t at) {
    return at == std::u16string::npos ? -1 : long(at);
}

}  // namespace

ole_guid_extractor::ole_guid_extractor(const std::u16string& text) : text(text) {
    tk_trace::write(1, u"ole_guid_extractor::ctor(%s)", text);
    locate();
}

ole_guid_extractor::ole_guid_extractor(const std::string& text)
    : ole_guid_extractor(tk_utf8_to_utf16(text)) {}

void ole_guid_extractor::locate() {
    if (text.size() < REPLICATION_ID_CHARS) return;
    std::size_t lower = text.find(u"guid");
    std::size_t upper = text.find(u"GUID");
    tk_trace::write(2, "Locating 'guid' (%ld : %ld)", position_or_minus_one(lower),
                    position_or_minus_one(upper));
    std::size_t word = lower != std::u16string::npos ? lower : upper;
    if (word == std::u16string::npos) return;
    std::size_t brace = text.find(u'{', word + 4);
    // A brace too near the end holds no whole GUID; reading past it would leave the text.
    if (brace == std::u16string::npos || text.size() - brace < BRACED_GUID_CHARS) return;
    position = long(brace);
    b_found = true;
}

std::u16string ole_guid_extractor::get_guid() const {
    if (!b_found) return std::u16string();
    return text.substr(std::size_t(position), BRACED_GUID_CHARS);
}

std::u16string ole_guid_extractor::get_guid_digits() const {
    if (!b_found) return std::u16string();
    std::size_t at = std::size_t(position);
    return text.substr(at + 1, 8) + text.substr(at + 10, 4) + text.substr(at + 15, 4) +
           text.substr(at + 20, 4) + text.substr(at + 25, 12);
}

// tk_utf.cpp - the toolkit's conversions over the platform's code-page routines, with the
// trace line that tells a user why a name now carries U+FFFD.
#include "tk/tk_utf.hpp"

#include "platform/winbase/win_codepage.hpp"
#include "tk/tk_trace.hpp"

namespace {

void trace_replaced(std::size_t replaced) {
    if (replaced == 0) return;
    tk_trace::write(2, "Invalid text replaced by U+FFFD (%zu)", replaced);
}

}   // namespace

std::u16string tk_utf8_to_utf16(std::string_view text) {
    std::size_t replaced = 0;
    std::u16string out = win_utf8_to_utf16(text, &replaced);
    trace_replaced(replaced);
    return out;
}

std::string tk_utf16_to_utf8(std::u16string_view text) {
    std::size_t replaced = 0;
    std::string out = win_utf16_to_utf8(text, &replaced);
    trace_replaced(replaced);
    return out;
}

std::u16string tk_ansi_to_utf16(std::string_view text) { return win_cp1252_to_utf16(text); }

std::string tk_ansi_to_utf8(std::string_view text) { return win_cp1252_to_utf8(text); }

std::string tk_utf16_to_ansi(std::u16string_view text) {
    std::size_t replaced = 0;
    std::string out = win_utf16_to_cp1252(text, &replaced);
    if (replaced != 0)
        tk_trace::write(2, "Characters without ANSI form replaced by '?' (%zu)", replaced);
    return out;
}

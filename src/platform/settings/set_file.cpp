// set_file.cpp - writes and reads the settings file's text form (grammar in the header).
#include "platform/settings/set_file.hpp"

#include <cstdint>
#include <cstdio>
#include <optional>

#include "platform/winbase/win_codepage.hpp"
#include "platform/winbase/win_compare.hpp"

namespace {

void append_hex_escape(std::string& out, char prefix, unsigned value, int digits) {
    char buffer[8];
    std::snprintf(buffer, sizeof(buffer), "\\%c%0*X", prefix, digits, value);
    out += buffer;
}

// Escapes one ASCII unit; false when the unit is written as it is.
bool append_escaped_ascii(std::string& out, unsigned unit, bool in_name) {
    switch (unit) {
    case '\\': out += "\\\\"; return true;
    case '"': out += "\\\""; return true;
    case '\n': out += "\\n"; return true;
    case '\r': out += "\\r"; return true;
    case '\t': out += "\\t"; return true;
    default: break;
    }
    const bool special_in_name = in_name && (unit == '=' || unit == ';' || unit == '[');
    if (unit < 0x20 || unit == 0x7F || special_in_name) {
        append_hex_escape(out, 'x', unit, 2);
        return true;
    }
    return false;
}

std::string escape_name(std::string_view name) {
    std::string out;
    for (const char byte : name) {
        if (!append_escaped_ascii(out, std::uint8_t(byte), true)) out.push_back(byte);
    }
    return out;
}

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::string escape_text(std::u16string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        if (unit < 0x80) {
            if (!append_escaped_ascii(out, unit, false)) out.push_back(char(unit));
        } else if (is_high_surrogate(unit) && at + 1 < text.size()
                   && is_low_surrogate(text[at + 1])) {
            out += win_utf16_to_utf8(text.substr(at, 2));
            ++at;
        } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
            append_hex_escape(out, 'u', unit, 4);
        } else {
            out += win_utf16_to_utf8(text.substr(at, 1));
        }
    }
    return out;
}

std::optional<unsigned> parse_hex(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    unsigned value = 0;
    for (const char digit : digits) {
        unsigned nibble = 0;
        if (digit >= '0' && digit <= '9') nibble = unsigned(digit - '0');
        else if (digit >= 'a' && digit <= 'f') nibble = unsigned(digit - 'a' + 10);
        else if (digit >= 'A' && digit <= 'F') nibble = unsigned(digit - 'A' + 10);
        else return std::nullopt;
        value = (value << 4) | nibble;
    }
    return value;
}

// Reads escaped text from `at` until `stop` (unescaped) or the end; UTF-16 out. Leaves `at`
// on the stop character. nullopt for a broken escape.
std::optional<std::u16string> unescape(std::string_view line, std::size_t& at, char stop) {
    std::u16string out;
    std::string raw;
    auto flush = [&] {
        out += win_utf8_to_utf16(raw);
        raw.clear();
    };
    while (at < line.size() && line[at] != stop) {
        if (line[at] != '\\') {
            raw.push_back(line[at++]);
            continue;
        }
        flush();
        if (++at >= line.size()) return std::nullopt;
        const char kind = line[at++];
        if (kind == 'n') out.push_back(u'\n');
        else if (kind == 'r') out.push_back(u'\r');
        else if (kind == 't') out.push_back(u'\t');
        else if (kind == '\\' || kind == '"') out.push_back(char16_t(kind));
        else if (kind == 'x' || kind == 'u') {
            const std::size_t digits = kind == 'x' ? 2 : 4;
            if (line.size() - at < digits) return std::nullopt;
            const std::optional<unsigned> unit = parse_hex(line.substr(at, digits));
            if (!unit) return std::nullopt;
            out.push_back(char16_t(*unit));
            at += digits;
        } else {
            return std::nullopt;
        }
    }
    flush();
    return out;
}

std::optional<set_value> parse_value_line(std::string_view line) {
    std::size_t at = 0;
    const std::optional<std::u16string> name = unescape(line, at, '=');
    if (!name || name->empty() || at >= line.size()) return std::nullopt;
    std::string_view rest = line.substr(at + 1);
    set_value value{win_utf16_to_utf8(*name), SET_REG_SZ, 0, {}};
    if (rest.substr(0, 6) == "dword:") {
        const std::optional<unsigned> number = parse_hex(rest.substr(6));
        if (!number) return std::nullopt;
        value.kind = SET_REG_DWORD;
        value.dword = *number;
        return value;
    }
    if (rest.substr(0, 4) != "sz:\"" || rest.size() < 5 || rest.back() != '"') return std::nullopt;
    const std::string_view quoted = rest.substr(4, rest.size() - 5);
    std::size_t text_at = 0;
    std::optional<std::u16string> text = unescape(quoted, text_at, '"');
    if (!text || text_at != quoted.size()) return std::nullopt;
    value.text = std::move(*text);
    return value;
}

void put_value(std::vector<set_value>& values, set_value value) {
    for (set_value& existing : values) {
        if (win_equal_ignore_case(win_utf8_to_utf16(existing.name),
                                  win_utf8_to_utf16(value.name))) {
            existing = std::move(value);
            return;
        }
    }
    values.push_back(std::move(value));
}

}   // namespace

std::string set_format_file(std::string_view key_name, const std::vector<set_value>& values) {
    std::string out = "; Vantrel settings, written by the program: edit with care\n[";
    out += escape_name(key_name);
    out += "]\n";
    for (const set_value& value : values) {
        out += escape_name(value.name);
        if (value.kind == SET_REG_DWORD) {
            char number[24];
            std::snprintf(number, sizeof(number), "=dword:%08x\n", value.dword);
            out += number;
        } else {
            out += "=sz:\"" + escape_text(value.text) + "\"\n";
        }
    }
    return out;
}

set_file_content set_parse_file(std::string_view text) {
    set_file_content content;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == ';' || line.front() == '[') continue;
        std::optional<set_value> value = parse_value_line(line);
        if (!value) {
            content.b_damaged = true;
            continue;
        }
        put_value(content.values, std::move(*value));
    }
    return content;
}

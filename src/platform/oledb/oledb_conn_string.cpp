// oledb_conn_string.cpp - reads and writes connection-string values. Keys are ASCII, so
// comparing them case-blind by ASCII folding is exact; values are kept byte for byte.

#include "platform/oledb/oledb_conn_string.hpp"

#include "platform/oledb/oledb_error_info.hpp"

#include <cstddef>

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool keys_equal(const std::string& left, const std::string& right) {
    if (left.size() != right.size()) return false;
    for (std::size_t char_idx = 0; char_idx < left.size(); ++char_idx) {
        if (ascii_lower(left[char_idx]) != ascii_lower(right[char_idx])) return false;
    }
    return true;
}

std::string trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && is_blank(text[first])) ++first;
    while (last > first && is_blank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

class conn_string_reader {
public:
    explicit conn_string_reader(const std::string& source) : text(source) {}

    // Reads "key=value" pairs until the end; false on a malformed value.
    bool read_all(oledb_conn_props& out, std::string& problem) {
        while (pos < text.size()) {
            const std::size_t equals = text.find('=', pos);
            if (equals == std::string::npos) {
                if (!trimmed(text.substr(pos)).empty()) {
                    problem = "a connection-string item has no '='";
                    return false;
                }
                return true;
            }
            const std::string key = trimmed(text.substr(pos, equals - pos));
            pos = equals + 1;
            std::string value;
            if (!read_value(value, problem)) return false;
            if (!key.empty()) out.set(key, value);
        }
        return true;
    }

private:
    bool read_value(std::string& value, std::string& problem) {
        while (pos < text.size() && is_blank(text[pos])) ++pos;
        if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
            return read_quoted(value, problem);
        }
        const std::size_t end = text.find(';', pos);
        const std::size_t stop = end == std::string::npos ? text.size() : end;
        value = trimmed(text.substr(pos, stop - pos));
        pos = end == std::string::npos ? text.size() : end + 1;
        return true;
    }

    bool read_quoted(std::string& value, std::string& problem) {
        const char quote = text[pos++];
        for (;;) {
            if (pos >= text.size()) {
                problem = "a quoted connection-string value is not closed";
                return false;
            }
            if (text[pos] != quote) {
                value += text[pos++];
                continue;
            }
            if (pos + 1 < text.size() && text[pos + 1] == quote) {   // doubled quote
                value += quote;
                pos += 2;
                continue;
            }
            ++pos;
            break;
        }
        while (pos < text.size() && is_blank(text[pos])) ++pos;
        if (pos < text.size() && text[pos] != ';') {
            problem = "text follows a quoted connection-string value";
            return false;
        }
        if (pos < text.size()) ++pos;
        return true;
    }

    const std::string& text;
    std::size_t pos = 0;
};

}   // namespace

std::optional<std::string> oledb_conn_props::get(const std::string& key) const {
    for (const auto& [name, value] : pairs) {
        if (keys_equal(name, key)) return value;
    }
    return std::nullopt;
}

void oledb_conn_props::set(const std::string& key, const std::string& value) {
    for (auto& [name, existing] : pairs) {
        if (keys_equal(name, key)) {
            existing = value;
            return;
        }
    }
    pairs.emplace_back(key, value);
}

oledb_hresult oledb_parse_conn_string(const std::string& text, oledb_conn_props& out) {
    oledb_conn_props parsed;
    std::string problem;
    conn_string_reader reader(text);
    if (!reader.read_all(parsed, problem)) return oledb_fail(OLEDB_E_INVALIDARG, problem);
    out = std::move(parsed);
    return OLEDB_S_OK;
}

std::string oledb_quote_value(const std::string& value) {
    bool needs_quotes = !value.empty() && (is_blank(value.front()) || is_blank(value.back()));
    for (const char c : value) {
        if (c == ';' || c == '=' || c == '"' || c == '\'') needs_quotes = true;
    }
    if (!needs_quotes) return value;
    std::string quoted = "\"";
    for (const char c : value) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

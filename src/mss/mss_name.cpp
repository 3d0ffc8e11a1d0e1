// mss_name.cpp - bracketing and splitting of SQL Server names.

#include "mss/mss_name.hpp"

#include "tk/tk_trace.hpp"
#include "udb/udb_name.hpp"

#include <cstddef>

namespace {

std::u16string doubled(const std::u16string& text, char16_t special) {
    std::u16string result;
    result.reserve(text.size() + 2);
    for (const char16_t c : text) {
        result += c;
        if (c == special) result += special;
    }
    return result;
}

// Reads one bracketed identifier at `pos`; advances past its closing bracket.
bool read_bracketed(const std::u16string& text, std::size_t& pos, std::u16string& out) {
    if (pos >= text.size() || text[pos] != u'[') return false;
    out.clear();
    for (++pos; pos < text.size(); ++pos) {
        if (text[pos] != u']') {
            out += text[pos];
            continue;
        }
        if (pos + 1 < text.size() && text[pos + 1] == u']') {
            out += u']';
            ++pos;
            continue;
        }
        ++pos;
        return true;
    }
    return false;
}

}   // namespace

std::u16string mss_like_escaped(const std::u16string& name) {
    std::u16string pattern;
    pattern.reserve(name.size());
    for (const char16_t c : name) {
        if (c == u'[' || c == u'_' || c == u'%') {
            pattern += u'[';
            pattern += c;
            pattern += u']';
        } else {
            pattern += c;
        }
    }
    return pattern;
}

std::u16string mss_bracket(const std::u16string& name) { return u"[" + doubled(name, u']') + u"]"; }

bool mss_split_tab_name(const std::u16string& name, std::u16string& table, std::u16string& owner) {
    tk_trace::write(1, u"mss_split_tab_name (%s)", name);
    if (name.size() < 3) return false;
    std::size_t pos = 0;
    std::u16string first;
    if (!read_bracketed(name, pos, first)) return false;
    std::u16string second;
    bool has_owner = false;
    if (pos < name.size()) {
        if (name[pos] != u'.') return false;
        ++pos;
        if (!read_bracketed(name, pos, second) || pos != name.size()) return false;
        has_owner = true;
    }
    owner = has_owner ? first : std::u16string();
    table = has_owner ? second : first;
    tk_trace::write(2, u"tab_name=%s, owner=%s", table, owner);
    return true;
}

std::u16string mss_working_owner(const std::u16string& user, bool as_dbo) {
    if (user.empty() || as_dbo || udb_same_name(user, u"sa")) return u"dbo";
    return user;
}

std::u16string mss_full_table_name(const std::u16string& name, const std::u16string& owner) {
    tk_trace::write(1, u"mss_engine::get_safe_tname(%s)", name);
    std::u16string table;
    std::u16string split_owner;
    const bool split = mss_split_tab_name(name, table, split_owner);
    if (split && !split_owner.empty()) {
        tk_trace::write(2, "This is a full canonized table name");
        return name;
    }
    if (!split) table = name;
    std::u16string result = mss_bracket(owner) + u"." + mss_bracket(table);
    tk_trace::write(2, u"result=%s", result);
    return result;
}

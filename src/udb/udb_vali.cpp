// udb_vali.cpp - the generic safe-name algorithm: cut a name to the limit, replace illegal
// characters, and when the result is still refused or already used, number it "%05d" from
// 00000 until a candidate passes. Lengths count UTF-16 code units, as the destinations do.
#include "udb/udb_vali.hpp"

#include <algorithm>
#include <cstdio>

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "udb/udb_name.hpp"

namespace {

constexpr std::uint32_t NUMBERED_CANDIDATES = 100000;

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// Keeps at most `length` code units and never ends on the first half of a surrogate pair:
// a name cut there would carry a broken character into the destination's catalogue.
void cut_to(std::u16string& text, std::size_t length) {
    if (text.size() <= length) return;
    text.resize(length);
    if (!text.empty() && is_high_surrogate(text.back())) text.pop_back();
}

std::u16string numbered(const std::u16string& stem, std::uint32_t number) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05u", unsigned(number));
    return stem + std::u16string(digits, digits + 5);
}

}   // namespace

udb_validator::udb_validator(std::uint32_t new_max_length) : max_length(new_max_length) {
    tk_trace::write(2, "udb_validator::ctor");
}

bool udb_validator::is_acceptable(const std::u16string& name) const {
    tk_trace::write(1, u"udb_validator::is_acceptable(%s)", name);
    if (max_length != 0 && name.size() > max_length) {
        tk_trace::write(2, "The name is too long");
        return false;
    }
    for (const std::u16string& refused : restricted) {
        if (!udb_same_name(refused, name)) continue;
        tk_trace::write(2, "The name is restricted");
        return false;
    }
    for (char16_t illegal : illegal_chars) {
        if (name.find(illegal) == std::u16string::npos) continue;
        tk_trace::write(2, u"The name contains illegal: %s", std::u16string(1, illegal));
        return false;
    }
    return true;
}

bool udb_validator::is_duplicated(const std::u16string& name) const {
    tk_trace::write(1, u"udb_validator::is_duplicated(%s)", name);
    for (const std::u16string& taken : used) {
        tk_trace::write(2, u"Processing %s", taken);
        if (udb_same_name(taken, name)) return true;
    }
    return false;
}

std::u16string udb_validator::get_safe_name(const std::u16string& name) const {
    tk_trace::write(1, u"udb_validator::get_safe_name(%s)", name);
    std::u16string safe = name;
    if (max_length != 0 && safe.size() > max_length) cut_to(safe, max_length - 1);
    for (char16_t illegal : illegal_chars) std::replace(safe.begin(), safe.end(), illegal, u'_');
    if (is_acceptable(safe) && !is_duplicated(safe)) return safe;

    // Room for five digits: the numbered names stay one below the limit.
    if (max_length != 0) {
        const std::uint32_t longest_stem = max_length > 6 ? max_length - 6 : 0;
        if (safe.size() > longest_stem + 1) cut_to(safe, longest_stem);
    }
    for (std::uint32_t number = 0; number < NUMBERED_CANDIDATES; ++number) {
        std::u16string candidate = numbered(safe, number);
        if (is_acceptable(candidate) && !is_duplicated(candidate)) return candidate;
    }
    throw tk_mail_assertion(tk_source_name(__FILE__), __LINE__);
}

void udb_validator::add_mapped_pair(const std::u16string& old_name,
                                    const std::u16string& new_name) {
    tk_trace::write(1, u"udb_validator::add_mapped_pair(%s,%s)", old_name, new_name);
    names_map.add(old_name, new_name);
}

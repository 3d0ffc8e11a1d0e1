#include "platform/jetsql/jet_sql_like.hpp"

#include <vector>

#include "platform/winbase/win_compare.hpp"

namespace {

struct pattern_item {
    enum class kind_t { any_run, any_one, digit, literal, set } kind = kind_t::literal;
    char16_t literal = 0;
    std::u16string_view set;   // the text between [ and ]
    bool negated = false;
};

char16_t fold(char16_t c) {
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    return char16_t(win_fold_case(char32_t(c)));
}

std::optional<std::vector<pattern_item>> compile(std::u16string_view pattern) {
    std::vector<pattern_item> items;
    for (std::size_t pos = 0; pos < pattern.size(); ++pos) {
        pattern_item item;
        char16_t c = pattern[pos];
        if (c == u'*') {
            if (!items.empty() && items.back().kind == pattern_item::kind_t::any_run) continue;
            item.kind = pattern_item::kind_t::any_run;
        } else if (c == u'?') {
            item.kind = pattern_item::kind_t::any_one;
        } else if (c == u'#') {
            item.kind = pattern_item::kind_t::digit;
        } else if (c == u'[') {
            std::size_t close = pattern.find(u']', pos + 1);
            if (close == std::u16string_view::npos) return std::nullopt;
            std::u16string_view inside = pattern.substr(pos + 1, close - pos - 1);
            if (!inside.empty() && inside[0] == u'!') {
                item.negated = true;
                inside.remove_prefix(1);
            }
            item.kind = pattern_item::kind_t::set;
            item.set = inside;
            pos = close;
        } else {
            item.literal = fold(c);
        }
        items.push_back(item);
    }
    return items;
}

bool in_set(std::u16string_view set, char16_t folded) {
    for (std::size_t pos = 0; pos < set.size(); ++pos) {
        if (pos + 2 < set.size() && set[pos + 1] == u'-') {
            char16_t low = fold(set[pos]), high = fold(set[pos + 2]);
            if (folded >= low && folded <= high) return true;
            pos += 2;
        } else if (fold(set[pos]) == folded) {
            return true;
        }
    }
    return false;
}

bool matches_one(const pattern_item& item, char16_t c) {
    switch (item.kind) {
    case pattern_item::kind_t::any_one: return true;
    case pattern_item::kind_t::digit: return c >= u'0' && c <= u'9';
    case pattern_item::kind_t::literal: return fold(c) == item.literal;
    case pattern_item::kind_t::set:
        if (item.set.empty()) return item.negated;   // [] matches nothing, [!] anything
        return in_set(item.set, fold(c)) != item.negated;
    default: return false;
    }
}

}   // namespace

std::optional<bool> jet_sql_like(std::u16string_view value, std::u16string_view pattern) {
    std::optional<std::vector<pattern_item>> items = compile(pattern);
    if (!items) return std::nullopt;
    // Every item but * takes exactly one character, so backtracking to the last * suffices.
    std::size_t value_pos = 0, item_pos = 0;
    std::size_t star_item = SIZE_MAX, star_value = 0;
    while (value_pos < value.size()) {
        if (item_pos < items->size() && (*items)[item_pos].kind == pattern_item::kind_t::any_run) {
            star_item = item_pos++;
            star_value = value_pos;
        } else if (item_pos < items->size() && matches_one((*items)[item_pos], value[value_pos])) {
            ++item_pos;
            ++value_pos;
        } else if (star_item != SIZE_MAX) {
            item_pos = star_item + 1;
            value_pos = ++star_value;
        } else {
            return false;
        }
    }
    while (item_pos < items->size() && (*items)[item_pos].kind == pattern_item::kind_t::any_run)
        ++item_pos;
    return item_pos == items->size();
}

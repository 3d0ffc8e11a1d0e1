// dbl_like.cpp - LIKE matching over a pattern read once into elements.
#include "dbl_like.hpp"

#include "dbl_text.hpp"

#include <vector>

namespace {

enum class element_kind { ANY_RUN, ANY_ONE, SET, NOT_SET, CHARACTER };

struct element {
    element_kind kind = element_kind::CHARACTER;
    std::u16string members;   // CHARACTER: the character; sets: pairs of range ends, folded
};

// An unclosed '[' leaves `ok` false: SQL Server documents no meaning for one, and the
// double lets such a pattern match nothing rather than guess.
std::vector<element> elements_of(const std::u16string& pattern, bool& ok) {
    std::vector<element> elements;
    ok = true;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        const char16_t c = pattern[at];
        if (c == u'%') {
            elements.push_back({element_kind::ANY_RUN, {}});
        } else if (c == u'_') {
            elements.push_back({element_kind::ANY_ONE, {}});
        } else if (c != u'[') {
            elements.push_back({element_kind::CHARACTER, {dbl_collate(c)}});
        } else {
            std::size_t close = pattern.find(u']', at + 2);   // "[]]" holds a ']'
            if (close == std::u16string::npos) {
                ok = false;
                return elements;
            }
            std::size_t first = at + 1;
            element set{element_kind::SET, {}};
            if (pattern[first] == u'^' && close > first + 1) {
                set.kind = element_kind::NOT_SET;
                ++first;
            }
            for (std::size_t i = first; i < close; ++i) {
                const bool is_range = i + 2 < close && pattern[i + 1] == u'-';
                set.members += dbl_collate(pattern[i]);
                set.members += dbl_collate(is_range ? pattern[i + 2] : pattern[i]);
                if (is_range) i += 2;
            }
            elements.push_back(set);
            at = close;
        }
    }
    return elements;
}

bool matches_one(const element& e, char16_t folded) {
    switch (e.kind) {
    case element_kind::ANY_ONE: return true;
    case element_kind::CHARACTER: return e.members[0] == folded;
    default: {
        bool in_set = false;
        for (std::size_t i = 0; i + 1 < e.members.size() && !in_set; i += 2)
            in_set = folded >= e.members[i] && folded <= e.members[i + 1];
        return in_set == (e.kind == element_kind::SET);
    }
    }
}

}   // namespace

// Greedy with one backtrack point (the last %): linear in practice and never worse than
// text x pattern, whatever the number of %.
bool dbl_like(const std::u16string& text, const std::u16string& pattern) {
    bool ok = true;
    const std::vector<element> elements = elements_of(pattern, ok);
    if (!ok) return false;
    constexpr std::size_t NO_STAR = std::size_t(-1);
    std::size_t ti = 0, pi = 0;
    std::size_t star = NO_STAR, star_text = 0;
    while (ti < text.size()) {
        const char16_t folded = dbl_collate(text[ti]);
        if (pi < elements.size() && elements[pi].kind == element_kind::ANY_RUN) {
            star = pi++;
            star_text = ti;
        } else if (pi < elements.size() && matches_one(elements[pi], folded)) {
            ++pi;
            ++ti;
        } else if (star != NO_STAR) {
            pi = star + 1;
            ti = ++star_text;
        } else {
            return false;
        }
    }
    while (pi < elements.size() && elements[pi].kind == element_kind::ANY_RUN) ++pi;
    return pi == elements.size();
}

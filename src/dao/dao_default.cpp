// dao_default.cpp - reading Access default expressions; see dao_default.hpp. Access keeps a
// default as the text typed into the table designer: a literal ("abc", #1/2/2003#, 5, Yes)
// or an expression it evaluates for each new row (Now(), =Date()). Only what a destination
// can reproduce exactly becomes a value or a function; the rest is kept for the report.
#include "dao/dao_default.hpp"

#include <array>

#include "platform/dao/daostub_types.hpp"
#include "platform/winbase/win_compare.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_trim.hpp"

namespace {

struct named_function {
    std::u16string_view name;
    udb_default_function function;
};

constexpr std::array<named_function, 4> FUNCTIONS{{{u"Now", udb_default_function::NOW},
                                                   {u"Date", udb_default_function::TODAY},
                                                   {u"Time", udb_default_function::TIME_OF_DAY},
                                                   {u"GenGUID", udb_default_function::NEW_GUID}}};

bool is_enclosed(const std::u16string& text, char16_t mark) {
    return text.size() >= 2 && text.front() == mark && text.back() == mark;
}

bool is_space(char16_t c) { return c == u' ' || c == u'\t'; }

// "Name()" or "Name ( )", the name compared without regard to case.
bool is_call_of(const std::u16string& text, std::u16string_view name) {
    if (text.size() < name.size() + 2) return false;
    if (!win_equal_ignore_case(std::u16string_view(text).substr(0, name.size()), name)) {
        return false;
    }
    std::size_t at = name.size();
    while (at < text.size() && is_space(text[at])) ++at;
    if (at >= text.size() || text[at++] != u'(') return false;
    while (at < text.size() && is_space(text[at])) ++at;
    return at + 1 == text.size() && text[at] == u')';
}

// A plain decimal number as Access writes one: sign, digits, point, exponent.
bool is_number(const std::u16string& text) {
    std::size_t at = 0;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) ++at;
    std::size_t digits = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) ++digits;
    if (at < text.size() && text[at] == u'.') {
        for (++at; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) ++digits;
    }
    if (digits == 0) return false;
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        ++at;
        if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) ++at;
        const std::size_t exponent_start = at;
        while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') ++at;
        if (at == exponent_start) return false;
    }
    return at == text.size();
}

// Access's truth words; True is -1 wherever it becomes a number.
const char16_t* truth_value(const std::u16string& text) {
    for (std::u16string_view word : {u"True", u"Yes", u"On"}) {
        if (win_equal_ignore_case(text, word)) return u"-1";
    }
    for (std::u16string_view word : {u"False", u"No", u"Off"}) {
        if (win_equal_ignore_case(text, word)) return u"0";
    }
    return nullptr;
}

bool is_numeric_type(std::uint16_t vartype) {
    switch (vartype) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DECIMAL:
    case VT_BOOL: return true;
    default: return false;
    }
}

// The literal of the column's type the text spells, or VT_EMPTY when it spells none.
ole_variant literal_value(int dao_type, std::uint16_t vartype, const std::u16string& text) {
    if (is_numeric_type(vartype)) {
        if (const char16_t* truth = truth_value(text)) {
            return ole_variant::from_wstring(truth, vartype);
        }
        return is_number(text) ? ole_variant::from_wstring(text, vartype) : ole_variant();
    }
    if (vartype == VT_DATE) {
        if (!is_enclosed(text, u'#')) return ole_variant();
        return ole_variant::from_wstring(dao_strip_default(dao_type, text), vartype);
    }
    if (dao_type == dbText || dao_type == dbMemo) {
        // Text is written in quotes of either kind; a bare number is its own text.
        if (is_enclosed(text, u'"') || is_enclosed(text, u'\'')) {
            return ole_variant(text.substr(1, text.size() - 2));
        }
        return is_number(text) ? ole_variant(text) : ole_variant();
    }
    return ole_variant::from_wstring(text, vartype);
}

}   // namespace

std::u16string dao_strip_default(int dao_type, const std::u16string& stored) {
    if (dao_type == dbDate) {
        tk_trace::write(2, "Got date/time def.value");
        if (is_enclosed(stored, u'#')) return stored.substr(1, stored.size() - 2);
    } else if (dao_type == dbText) {
        tk_trace::write(2, "Got string def.value");
        if (is_enclosed(stored, u'"')) return stored.substr(1, stored.size() - 2);
    }
    return stored;
}

dao_default dao_read_default(int dao_type, std::uint16_t vartype, const std::u16string& stored) {
    dao_default result;
    std::u16string text = tk_trim(stored);
    if (!text.empty() && text.front() == u'=') text = tk_trim(std::u16string_view(text).substr(1));
    // An empty default or Null is no default at all: the column's own NULL.
    if (text.empty() || win_equal_ignore_case(text, u"Null")) return result;
    for (const named_function& candidate : FUNCTIONS) {
        if (!is_call_of(text, candidate.name)) continue;
        const bool is_guid_call = candidate.function == udb_default_function::NEW_GUID;
        // Now(), Date() and Time() give dates; GenGUID() gives replication IDs only.
        if (is_guid_call ? dao_type == dbGUID : vartype == VT_DATE) {
            result.function = candidate.function;
            return result;
        }
    }
    result.value = literal_value(dao_type, vartype, text);
    if (result.value.type() == VT_EMPTY) {
        tk_trace::write(2, u"Default value '%s' is no value of the column's type", stored);
        result.unmapped = stored;
    }
    return result;
}

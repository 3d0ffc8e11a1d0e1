// tk_trim.cpp - space trimming for narrow and wide text.
#include "tk/tk_trim.hpp"

namespace {

template <class View>
View trim_spaces(View text) {
    const auto first = text.find_first_not_of(' ');
    if (first == View::npos) return View();
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}   // namespace

std::string tk_trim(std::string_view text) { return std::string(trim_spaces(text)); }

std::u16string tk_trim(std::u16string_view text) { return std::u16string(trim_spaces(text)); }

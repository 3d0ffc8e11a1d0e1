// tk_trim.hpp - removes spaces (' ' only) at both ends, as the workgroup file, user and
// password are trimmed before use. Tabs and other blanks belong to the text.
#pragma once

#include <string>
#include <string_view>

std::string tk_trim(std::string_view text);
std::u16string tk_trim(std::u16string_view text);

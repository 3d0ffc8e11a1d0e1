// set_file.hpp - the text form of one settings file, UTF-8, one value per line:
//     name=dword:0000002a
//     name=sz:"text"
// Lines starting with ';' or '[' are comments or the key's own name and are ignored on reading.
// Names and texts escape \\, \", \n, \r, \t, other controls and '=' (in names) as \xHH, and a
// UTF-16 unit that is an unpaired surrogate as \uDxxx, so any wide text round-trips.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/settings/set_key.hpp"

struct set_file_content {
    std::vector<set_value> values;
    bool b_damaged = false;   // a line that is neither comment nor value was skipped
};

std::string set_format_file(std::string_view key_name, const std::vector<set_value>& values);
set_file_content set_parse_file(std::string_view text);

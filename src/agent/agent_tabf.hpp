// agent_tabf.hpp - the table-names file of --tab_file=: one table name per line, in file
// order. UTF-8 with or without a byte-order mark; a line that is not valid UTF-8 was written
// in Windows-1252 and is read so. Lines are read whole; empty lines add no name; nothing else
// is trimmed, since spaces belong to the name.
#pragma once

#include <istream>
#include <string>
#include <vector>

// The names of a table-names file. Throws tk_exception (level 1) when the stream fails.
std::vector<std::u16string> agent_read_table_names(std::istream& lines);

// Reads the file into the converter's selection, replacing it; a file that can't be opened
// ends the process with its message.
void process_tab_file(const std::string& path);

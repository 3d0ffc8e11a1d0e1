// agent_tabf.cpp - reading the table-names file.
#include "agent/agent_tabf.hpp"

#include <fstream>

#include "agent/agent_exit.hpp"
#include "conv/vantrel_conv.hpp"
#include "platform/winbase/win_codepage.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_fsys.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

namespace {

constexpr const char* NO_TAB_FILE_TEXT =
    "Table names file does not exist.\nPlease verify the correct path/name was given.";
constexpr const char* TAB_FILE_READ_TEXT = "Error reading from file";
constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";

// Files written on Windows may hold either encoding; a line that fails as UTF-8 can only be
// the ANSI code page, where every byte is a character, so no name loses a letter.
std::u16string decode_name(std::string_view line) {
    std::size_t replaced = 0;
    std::u16string name = win_utf8_to_utf16(line, &replaced);
    if (replaced == 0) return name;
    tk_trace::write(2, "Table name line is not UTF-8; read as Windows-1252");
    return tk_ansi_to_utf16(line);
}

}   // namespace

std::vector<std::u16string> agent_read_table_names(std::istream& lines) {
    std::vector<std::u16string> names;
    bool first_line = true;
    std::string line;
    while (std::getline(lines, line)) {
        // A CR can't belong to an Access name: it is what is left of a Windows line end.
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::string_view text(line);
        if (first_line && text.substr(0, UTF8_BOM.size()) == UTF8_BOM) {
            text.remove_prefix(UTF8_BOM.size());
        }
        first_line = false;
        if (text.empty()) continue;
        names.push_back(decode_name(text));
    }
    if (lines.bad()) throw tk_exception(TAB_FILE_READ_TEXT, ERROR_LEVEL_FATAL);
    return names;
}

void process_tab_file(const std::string& path) {
    tk_trace::write(1, "process_tab_file(%s)", path.c_str());
    std::ifstream file;
    if (tk_is_file_exist(path, 0)) file.open(path, std::ios::binary);
    if (!file.is_open()) exit_with_message(NO_TAB_FILE_TEXT);
    std::vector<std::u16string> names;
    try {
        names = agent_read_table_names(file);
    } catch (const tk_exception& failure) {
        exit_with_message(failure.what());
    }
    agent_converter().set_selected_tables(std::move(names));
}

#pragma once
// jet_error.hpp - the one exception the Jet/ACE engine throws. It carries the DAO error number
// and Jet's own text, so the DAO stand-in can fill its Errors collection without translating.
// A corrupt file names the page and, where known, the table being read.

#include <cstdint>
#include <stdexcept>
#include <string>

// DAO error numbers the engine raises.
inline constexpr int JET_ERR_FILE_NOT_FOUND = 3024;    // "Could not find file '%s'."
inline constexpr int JET_ERR_PASSWORD = 3031;          // "Not a valid password."
inline constexpr int JET_ERR_FILE_IN_USE = 3045;       // "Could not use '%s'; file already in
                                                       // use."
inline constexpr int JET_ERR_CORRUPT = 3049;           // "Cannot open database ... corrupt"
inline constexpr int JET_ERR_NO_PERMISSION = 3051;     // "... cannot open the file '%s' ..."
inline constexpr int JET_ERR_TABLE_NOT_FOUND = 3078;   // "... cannot find the input table ..."
inline constexpr int JET_ERR_NOT_A_DATABASE = 3343;    // "Unrecognized database format '%s'."

class jet_error : public std::runtime_error {
public:
    jet_error(int dao_number, const std::string& text);

    int dao_number() const { return number; }
    const char* what() const noexcept override { return text.c_str(); }

    // Page and table of a corruption error (0 / empty when not known).
    std::uint32_t page_no() const { return page; }
    const std::string& table_name() const { return table; }

    // Adds the table being read to a corruption error that does not name one yet.
    void set_table(const std::string& table_utf8);

    static jet_error file_not_found(const std::string& path_utf8);
    static jet_error unrecognized_format(const std::string& path_utf8);
    // 3343 for a path that is no regular file; kind says what it is ("a named pipe (FIFO)").
    static jet_error not_a_file(const std::string& path_utf8, const std::string& kind);
    static jet_error file_in_use(const std::string& path_utf8);
    static jet_error no_permission(const std::string& path_utf8);
    static jet_error table_not_found(const std::string& table_utf8);
    // what: the inconsistency found, e.g. "row offset past the page end".
    static jet_error corrupt(std::uint32_t page_no, const std::string& what);

private:
    void compose();

    int number;
    std::string text;
    std::string detail;
    std::uint32_t page = 0;
    std::string table;
};

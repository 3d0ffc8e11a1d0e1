// conv_rejects.hpp - the rejects file of a run: every record the destination refused, as CSV,
// for the user to mend and load again. It is created (mode 0600: rows may hold personal data)
// at the first refused record only, so a run without refusals leaves no file.
//   Layout: before a table's first record, a line "table","record","message" and the table's
//   column names; then per record the table, its 1-based number, the server's message and
//   its values. Every value is quoted with inner quotes doubled; NULL is an empty field.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class udb_record;

class conv_rejects_file {
public:
    explicit conv_rejects_file(std::string path);
    conv_rejects_file(const conv_rejects_file&) = delete;
    conv_rejects_file& operator=(const conv_rejects_file&) = delete;
    ~conv_rejects_file();

    // Where the file of a run goes: beside the log, else in the working folder.
    static std::string path_for(const std::string& log_path, const std::u16string& destination);

    // Throws tk_exception (level 0) when the file cannot be created or written; that is
    // reported once, and that record and every later one are only counted as not written.
    void write(const std::u16string& table, std::int32_t record_number, const udb_record& record,
               const std::string& message);
    bool is_empty() const { return rows == 0 && rows_lost == 0; }
    const std::string& path() const { return file_path; }
    std::int64_t written() const { return rows; }
    std::int64_t not_written() const { return rows_lost; }

private:
    struct file_close {
        void operator()(std::FILE* stream) const { std::fclose(stream); }
    };

    void open();
    void put_line(const std::string& line);

    std::string file_path;
    std::unique_ptr<std::FILE, file_close> file;
    std::u16string last_table;
    std::int64_t rows = 0;
    std::int64_t rows_lost = 0;   // refused records the file could not take
    long whole_length = 0;        // bytes up to the end of the last whole record
    bool b_broken = false;
};

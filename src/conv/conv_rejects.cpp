// conv_rejects.cpp - writing the rejects file. Values are data, never markup: each is quoted
// whole, so a comma, quote or line break inside a value stays inside its field.
#include "conv/conv_rejects.hpp"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_db.hpp"

namespace {

constexpr const char* REJECTS_SUFFIX = ".rejects.csv";

std::string quoted(const std::string& text) {
    std::string field = "\"";
    for (const char letter : text) {
        if (letter == '"') field += '"';
        field += letter;
    }
    return field + '"';
}

// The shortest text that reads back as the same number: 15 digits would change some.
template <class Number>
std::string shortest(Number number) {
    std::array<char, 32> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number);
    return error == std::errc() ? std::string(buffer.data(), end) : std::string();
}

// Every byte, in hex: the value's printed form stops at 320 KiB.
std::string whole_bytes(const udb_field& value) {
    BYTE* data = nullptr;
    const std::size_t count = value.get_bytes(&data);
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string text = "0x";
    text.reserve(2 + 2 * count);
    for (std::size_t byte_idx = 0; data != nullptr && byte_idx < count; ++byte_idx) {
        text.push_back(HEX[data[byte_idx] >> 4]);
        text.push_back(HEX[data[byte_idx] & 0xF]);
    }
    return text;
}

// A value as it reads back exactly.
std::string value_field(const udb_field& value) {
    switch (value.type()) {
    case VT_EMPTY:
    case VT_NULL: return "";
    case VT_R8: return quoted(shortest(value.value.dblVal));
    case VT_R4: return quoted(shortest(value.value.fltVal));
    case VT_BINARY_ARRAY: return quoted(whole_bytes(value));
    default: return quoted(value.to_string());
    }
}

// A database name may hold characters a file name cannot: the path separator and NUL.
std::string file_name_of(const std::u16string& destination) {
    std::string name = tk_utf16_to_utf8(destination);
    for (char& letter : name) {
        if (letter == '/' || letter == '\0') letter = '_';
    }
    if (name.empty() || name == "." || name == "..") name = "_" + name;
    return name + REJECTS_SUFFIX;
}

}   // namespace

conv_rejects_file::conv_rejects_file(std::string path) : file_path(std::move(path)) {}

conv_rejects_file::~conv_rejects_file() = default;

std::string conv_rejects_file::path_for(const std::string& log_path,
                                        const std::u16string& destination) {
    const std::filesystem::path folder = log_path.empty()
                                             ? std::filesystem::path()
                                             : std::filesystem::path(log_path).parent_path();
    return (folder / file_name_of(destination)).string();
}

void conv_rejects_file::open() {
    // Created 0600, and an older file of the same name made 0600 before it is reused.
    const int descriptor = ::open(file_path.c_str(),
                                  O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW,
                                  S_IRUSR | S_IWUSR);
    if (descriptor < 0 || ::fchmod(descriptor, S_IRUSR | S_IWUSR) != 0) {
        const int error_number = errno;
        if (descriptor >= 0) ::close(descriptor);
        throw tk_exception("The rejects file " + file_path
                               + " cannot be written: " + std::strerror(error_number),
                           ERROR_LEVEL_RECOVERABLE);
    }
    file.reset(::fdopen(descriptor, "w"));
    if (!file) {
        ::close(descriptor);
        throw tk_exception("The rejects file " + file_path + " cannot be written.",
                           ERROR_LEVEL_RECOVERABLE);
    }
    tk_trace::write(2, "Rejected records go to %s", file_path.c_str());
}

void conv_rejects_file::put_line(const std::string& line) {
    errno = 0;
    if (std::fputs((line + "\r\n").c_str(), file.get()) < 0 || std::fflush(file.get()) != 0) {
        const int error_number = errno != 0 ? errno : EIO;
        // A full disk takes part of a line: cut the file back to its last whole record, so
        // that what it holds reads back as written.
        if (::ftruncate(::fileno(file.get()), whole_length) != 0) {
            tk_trace::write(3, "The rejects file %s keeps a part of a record", file_path.c_str());
        }
        throw tk_exception("The rejects file " + file_path
                               + " cannot be written: " + std::strerror(error_number),
                           ERROR_LEVEL_RECOVERABLE);
    }
}

void conv_rejects_file::write(const std::u16string& table, std::int32_t record_number,
                              const udb_record& record, const std::string& message) {
    if (b_broken) {
        ++rows_lost;
        return;
    }
    // Until this record is written whole the file counts as broken and the record as lost:
    // a write that throws leaves both so.
    b_broken = true;
    ++rows_lost;
    if (!file) open();
    const std::string table_field = quoted(tk_utf16_to_utf8(table));
    if (rows == 0 || table != last_table) {
        std::string header = quoted("table") + "," + quoted("record") + "," + quoted("message");
        for (std::size_t field_idx = 0; field_idx < record.size(); ++field_idx) {
            header += "," + quoted(tk_utf16_to_utf8(record[field_idx].name));
        }
        put_line(header);
        last_table = table;
    }
    std::string line = table_field + "," + quoted(std::to_string(record_number)) + ","
                       + quoted(message);
    for (std::size_t field_idx = 0; field_idx < record.size(); ++field_idx) {
        line += "," + value_field(record[field_idx]);
    }
    put_line(line);
    ++rows;
    --rows_lost;
    b_broken = false;
    whole_length = std::ftell(file.get());
}

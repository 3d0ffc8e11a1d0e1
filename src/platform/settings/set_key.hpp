// set_key.hpp - the registry stand-in: a key under the current user, such as
// Software\Orvane\Vantrel, is one file under $XDG_CONFIG_HOME (default ~/.config): a leading
// "Software" is dropped and the other parts name folders and the file, here
// Orvane/Vantrel.ini. Values keep their names, kinds (DWORD or string) and the order they were
// first set in; value names compare case-blind, as the registry's do. Every change rewrites
// the file atomically (temporary file, fsync, rename), mode 0600 because it holds passwords.
// A missing file holds no values. A file that exists but can't be read also reads as no
// values, and the key then refuses writes so it never replaces what it could not read; a
// file with damaged lines is copied to "<file>.bad" before the first rewrite. File format in
// set_file.hpp. Results are the registry's error numbers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

inline constexpr long SET_ERROR_SUCCESS = 0;
inline constexpr long SET_ERROR_FILE_NOT_FOUND = 2;
inline constexpr long SET_ERROR_ACCESS_DENIED = 5;
inline constexpr long SET_ERROR_WRITE_FAULT = 29;
inline constexpr long SET_ERROR_INVALID_PARAMETER = 87;
inline constexpr long SET_ERROR_MORE_DATA = 234;

inline constexpr std::uint32_t SET_REG_SZ = 1;
inline constexpr std::uint32_t SET_REG_DWORD = 4;

inline constexpr std::uint32_t SET_REG_CREATED_NEW_KEY = 1;
inline constexpr std::uint32_t SET_REG_OPENED_EXISTING_KEY = 2;

enum class set_root : std::uint32_t { NONE = 0, CURRENT_USER = 0x80000001 };

struct set_value {
    std::string name;     // UTF-8
    std::uint32_t kind;   // SET_REG_DWORD or SET_REG_SZ
    std::uint32_t dword;
    std::u16string text;   // any UTF-16, lone surrogates included
};

class set_key {
public:
    // Opens the key, creating its file (and folders, mode 0700) when missing. On failure
    // `result` says why and nothing is returned.
    static std::unique_ptr<set_key> open(set_root root, std::string_view sub_key, long& result,
                                         std::uint32_t* disposition = nullptr);

    // The file that holds a key, or empty for a key name this stand-in can't map.
    static std::string file_for(set_root root, std::string_view sub_key);

    long query_dword(std::string_view name, std::uint32_t& value) const;
    // Kind and size in bytes of the value, the string form counting its terminating NUL.
    long query_info(std::string_view name, std::uint32_t& kind, std::uint32_t& size) const;
    long query_string(std::string_view name, std::u16string& text) const;

    long set_dword(std::string_view name, std::uint32_t value);
    long set_string(std::string_view name, std::u16string_view text);

    const std::vector<set_value>& values() const { return values_; }
    const std::string& file() const { return file_; }

private:
    explicit set_key(std::string file) : file_(std::move(file)) {}
    const set_value* find(std::string_view name) const;
    long store(const set_value& value);

    std::string file_;
    std::string key_name_;
    std::vector<set_value> values_;
    bool b_read_only_ = false;   // the file exists but could not be read
    bool b_damaged_ = false;     // some lines could not be parsed: keep a copy first
};

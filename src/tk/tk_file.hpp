// tk_file.hpp - a random-access binary file (tk_file) and its implementation on the C
// library's buffered files (tk_stdio_file), used to check and write workgroup files. Every
// failure is a tk_exception of level 1 with one of the four fixed file texts; a read past the
// end never returns partial data, and a write past the end pads with zero bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

inline constexpr std::uint8_t TK_FILE_WRITE = 0x01;
inline constexpr std::uint8_t TK_FILE_CREATE = 0x02;   // with TK_FILE_WRITE: create or empty

inline constexpr const char* TK_FILE_SOURCE = "tk_file";
inline constexpr int FAULT_FILE_NAME_EMPTY = 20;

inline constexpr const char* TK_TEXT_BAD_PATH = "Bad path or busy with another process";
inline constexpr const char* TK_TEXT_OPEN_FAILED = "Error opening file";
inline constexpr const char* TK_TEXT_READ_FAILED = "Error reading from file";
inline constexpr const char* TK_TEXT_WRITE_FAILED = "Cannot write into file";

class tk_file {
public:
    // Canonicalises the name; reading a file that is not there raises TK_TEXT_BAD_PATH.
    tk_file(const std::string& name, std::uint8_t mode);
    virtual void get_at(std::uint64_t offset, std::span<std::uint8_t> buffer) = 0;
    virtual ~tk_file();
    const std::string& name() const { return name_; }
    std::uint8_t mode() const { return mode_; }
    virtual void put_at(std::uint64_t offset, std::span<const std::uint8_t> block) = 0;
    virtual std::uint64_t get_length() = 0;

private:
    std::string name_;
    std::uint8_t mode_;
};

class tk_stdio_file : public tk_file {
public:
    tk_stdio_file(const std::string& name, std::uint8_t mode);
    void get_at(std::uint64_t offset, std::span<std::uint8_t> buffer) override;
    ~tk_stdio_file() override;
    void put_at(std::uint64_t offset, std::span<const std::uint8_t> block) override;
    std::uint64_t get_length() override;

private:
    struct file_close {
        void operator()(std::FILE* file) const;
    };
    void seek_to(std::uint64_t offset);
    void write_block(std::span<const std::uint8_t> block);

    std::unique_ptr<std::FILE, file_close> file_;
};

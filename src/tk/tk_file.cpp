// tk_file.cpp - the binary file over stdio. Writes are flushed before put_at returns, so a
// full disk shows as "Cannot write into file" at the call that caused it, not at close.
#include "tk/tk_file.hpp"

#include <algorithm>
#include <climits>
#include <vector>

#include "tk/tk_exce.hpp"
#include "tk/tk_fname.hpp"
#include "tk/tk_fsys.hpp"
#include "tk/tk_trace.hpp"

namespace {

std::string canonical_name(const std::string& name) {
    if (name.empty()) throw tk_mail_assertion(TK_FILE_SOURCE, FAULT_FILE_NAME_EMPTY);
    return tk_file_name(name).full_path();
}

const char* open_mode(std::uint8_t mode) {
    if ((mode & TK_FILE_WRITE) != 0 && (mode & TK_FILE_CREATE) != 0) return "w+b";
    if ((mode & TK_FILE_WRITE) != 0) return "r+b";
    return "rb";
}

}   // namespace

tk_file::tk_file(const std::string& name, std::uint8_t mode)
    : name_(canonical_name(name)), mode_(mode) {
    tk_trace::write(2, "tk_file::tk_file(%s)", name.c_str());
    tk_trace::write(2, "Canonized file name: %s", name_.c_str());
    if ((mode_ & TK_FILE_WRITE) == 0 && !tk_is_file_exist(name_, TK_ACCESS_READ)) {
        throw tk_exception(TK_TEXT_BAD_PATH, ERROR_LEVEL_FATAL);
    }
}

tk_file::~tk_file() = default;

void tk_stdio_file::file_close::operator()(std::FILE* file) const {
    if (std::fclose(file) != 0) tk_trace::write(2, "tk_stdio_file: closing failed");
}

tk_stdio_file::tk_stdio_file(const std::string& name, std::uint8_t mode)
    : tk_file(name, mode), file_(std::fopen(this->name().c_str(), open_mode(mode))) {
    if (!file_) throw tk_exception(TK_TEXT_OPEN_FAILED, ERROR_LEVEL_FATAL);
}

tk_stdio_file::~tk_stdio_file() = default;

std::uint64_t tk_stdio_file::get_length() {
    tk_trace::write(2, "tk_stdio_file::get_length");
    const long position = std::ftell(file_.get());
    if (position < 0 || std::fseek(file_.get(), 0, SEEK_END) != 0) {
        throw tk_exception(TK_TEXT_READ_FAILED, ERROR_LEVEL_FATAL);
    }
    const long size = std::ftell(file_.get());
    if (size < 0 || std::fseek(file_.get(), position, SEEK_SET) != 0) {
        throw tk_exception(TK_TEXT_READ_FAILED, ERROR_LEVEL_FATAL);
    }
    tk_trace::write(2, "Got file size: %ld", size);
    return std::uint64_t(size);
}

void tk_stdio_file::seek_to(std::uint64_t offset) {
    if (offset > std::uint64_t(LONG_MAX) || std::fseek(file_.get(), long(offset), SEEK_SET) != 0) {
        throw tk_exception(TK_TEXT_READ_FAILED, ERROR_LEVEL_FATAL);
    }
}

void tk_stdio_file::get_at(std::uint64_t offset, std::span<std::uint8_t> buffer) {
    tk_trace::write(2, "tk_stdio_file::get_at(%llu,%zu)", (unsigned long long)offset,
                    buffer.size());
    const std::uint64_t size = get_length();
    if (buffer.size() > size || offset > size - buffer.size()) {
        tk_trace::write(2, "Reading out of range: offset=%llu, length=%zu, file size=%llu",
                        (unsigned long long)offset, buffer.size(), (unsigned long long)size);
        throw tk_exception(TK_TEXT_READ_FAILED, ERROR_LEVEL_FATAL);
    }
    seek_to(offset);
    if (std::fread(buffer.data(), 1, buffer.size(), file_.get()) != buffer.size()) {
        throw tk_exception(TK_TEXT_READ_FAILED, ERROR_LEVEL_FATAL);
    }
}

void tk_stdio_file::write_block(std::span<const std::uint8_t> block) {
    if (std::fwrite(block.data(), 1, block.size(), file_.get()) != block.size()
        || std::fflush(file_.get()) != 0) {
        throw tk_exception(TK_TEXT_WRITE_FAILED, ERROR_LEVEL_FATAL);
    }
}

void tk_stdio_file::put_at(std::uint64_t offset, std::span<const std::uint8_t> block) {
    tk_trace::write(2, "tk_stdio_file::put_at(%llu,%zu)", (unsigned long long)offset, block.size());
    const std::uint64_t size = get_length();
    if (offset > size) {
        tk_trace::write(2, "padding with nulls...");
        if (std::fseek(file_.get(), 0, SEEK_END) != 0) {
            throw tk_exception(TK_TEXT_READ_FAILED, ERROR_LEVEL_FATAL);
        }
        const std::vector<std::uint8_t> zeros(64 * 1024, 0);
        for (std::uint64_t left = offset - size; left > 0;) {
            const std::size_t chunk = std::size_t(std::min<std::uint64_t>(left, zeros.size()));
            write_block(std::span(zeros.data(), chunk));
            left -= chunk;
        }
    }
    seek_to(offset);
    write_block(block);
}

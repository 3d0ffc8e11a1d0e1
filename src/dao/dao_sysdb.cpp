// dao_sysdb.cpp - recognises workgroup information files by their header.
#include "dao/dao_sysdb.hpp"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/jetcrypt/jet_header.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

namespace {

constexpr std::size_t JET_MIN_SIZE = 20;   // the file must be longer than this

}   // namespace

bool dao_check_sysdb(const std::string& path) {
    tk_trace::write(2, "dao_check_sysdb(%s)", path.c_str());
    // Reading a FIFO given as --sysdb waited for a writer forever.
    std::error_code ignored;
    if (std::filesystem::status(path, ignored).type() != std::filesystem::file_type::regular) {
        tk_trace::write(2, "Not a regular file");
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        tk_trace::write(2, "Failed to open file");
        return false;
    }
    std::vector<std::uint8_t> head(JET_ACCESS2_HEAD_SIZE);
    file.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
    std::size_t size = std::size_t(file.gcount());
    // Either mark counts only in a file of the whole head, as DAO checks.
    if (size >= JET_ACCESS2_HEAD_SIZE && jet_has_access2_marks(head)) {
        tk_trace::write(2, "Got MS Access 2.0 system database");
        return true;
    }
    if (size <= JET_MIN_SIZE) {
        tk_trace::write(2, "Invalid file size");
        return false;
    }
    head.resize(size);
    if (jet_has_signature(head, JET_SIGNATURE_WORKGROUP)) return true;
    tk_trace::write(2, "Failed to find header");
    return false;
}

bool dao_check_sysdb(const std::u16string& path) { return dao_check_sysdb(tk_utf16_to_utf8(path)); }

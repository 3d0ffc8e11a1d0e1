#include "platform/jet/jet_page_store.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/jet/jet_error.hpp"

namespace {

constexpr int JET_ERR_DATABASE_EXISTS = 3204;
constexpr int JET_ERR_DISK_FULL = 3026;
constexpr int JET_ERR_DISK_IO = 3043;

}   // namespace

jet_page_store::jet_page_store(const std::string& path, std::uint32_t page_size)
    : file_path(path), size_bytes(page_size) {
    file = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (file < 0) {
        if (errno == EEXIST) throw jet_error(JET_ERR_DATABASE_EXISTS, "Database already exists.");
        if (errno == EACCES || errno == EPERM) throw jet_error::no_permission(path);
        fail_io(errno);
    }
    if (::flock(file, LOCK_EX | LOCK_NB) != 0) {
        ::close(file);
        throw jet_error::file_in_use(path);
    }
}

jet_page_store::~jet_page_store() {
    if (file >= 0) ::close(file);   // also releases the lock
}

void jet_page_store::fail_io(int error_number) const {
    if (error_number == ENOSPC || error_number == EDQUOT)
        throw jet_error(JET_ERR_DISK_FULL, "Not enough space on disk.");
    throw jet_error(JET_ERR_DISK_IO,
                    "Disk or network error (" + std::string(std::strerror(error_number)) + ").");
}

std::uint32_t jet_page_store::allocate(jet_page_role role) {
    std::uint32_t page_no = count++;
    held_page& page = held[page_no];
    page.bytes.assign(size_bytes, 0);
    page.role = role;
    page.is_changed = true;
    return page_no;
}

jet_page_store::held_page& jet_page_store::hold(std::uint32_t page_no) {
    auto found = held.find(page_no);
    if (found != held.end()) return found->second;
    held_page& page = held[page_no];
    page.bytes.assign(size_bytes, 0);
    off_t offset = off_t(page_no) * off_t(size_bytes);
    std::size_t done = 0;
    while (done < size_bytes) {
        ssize_t got = ::pread(file, page.bytes.data() + done, size_bytes - done,
                              offset + off_t(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) fail_io(errno);
        if (got == 0) break;   // allocated but never written: zeros
        done += std::size_t(got);
    }
    return page;
}

std::span<std::uint8_t> jet_page_store::change(std::uint32_t page_no, jet_page_role role) {
    held_page& page = hold(page_no);
    page.role = role;
    page.is_changed = true;
    return page.bytes;
}

std::span<const std::uint8_t> jet_page_store::look(std::uint32_t page_no) {
    return hold(page_no).bytes;
}

void jet_page_store::write_page(std::uint32_t page_no, const std::vector<std::uint8_t>& bytes) {
    off_t offset = off_t(page_no) * off_t(size_bytes);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = ::pwrite(file, bytes.data() + done, bytes.size() - done,
                               offset + off_t(done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) fail_io(put < 0 ? errno : ENOSPC);
        done += std::size_t(put);
    }
}

void jet_page_store::sync() {
    if (::fdatasync(file) != 0) fail_io(errno);
}

void jet_page_store::flush() {
    for (jet_page_role role :
         {jet_page_role::content, jet_page_role::usage_map, jet_page_role::definition,
          jet_page_role::catalogue, jet_page_role::header}) {
        bool wrote = false;
        for (auto& [page_no, page] : held) {
            if (!page.is_changed || page.role != role) continue;
            write_page(page_no, page.bytes);
            page.is_changed = false;
            wrote = true;
        }
        if (wrote) sync();
    }
    held.clear();
}

#include "platform/jet/jet_pager.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/jet/jet_reader.hpp"
#include "platform/jetcrypt/jet_codec.hpp"
#include "platform/jetcrypt/jet_header.hpp"

namespace {

constexpr std::size_t CACHE_PAGES = 256;
constexpr std::size_t HEADER_PROBE = 0x80 + 0x18;   // magic, version and masked region

jet_format format_of(std::uint32_t version_code) {
    switch (version_code) {
    case 0: return jet_format::jet3;
    case 1: return jet_format::jet4;
    case 2: return jet_format::ace12;
    case 3: return jet_format::ace14;
    case 4:
    case 5: return jet_format::ace16;
    default: return jet_format::ace17;
    }
}

bool has_signature(const std::vector<std::uint8_t>& probe) {
    if (std::memcmp(probe.data(), JET_MAGIC, sizeof JET_MAGIC) != 0) return false;
    return jet_has_signature(probe, JET_SIGNATURE_JET)
           || jet_has_signature(probe, JET_SIGNATURE_ACE)
           || jet_has_signature(probe, JET_SIGNATURE_WORKGROUP);   // .mdw workgroup files
}

const char* file_kind(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe (FIFO)";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "a special file";
}

// Opening a FIFO for reading waits for a writer, and a device may never end: only a regular
// file is a database. Checked before open(), which is where a FIFO would block.
void refuse_special_file(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return;   // open() names what is wrong
    if (!S_ISREG(info.st_mode)) throw jet_error::not_a_file(path, file_kind(info.st_mode));
}

// Jet allocates and extends its files by whole pages: every Jet 3, Jet 4 and ACE file of the
// shared test data, both workgroup files and the bench files among them, is a whole number of
// pages. A file that ends inside a page has lost its tail, and whatever its pages listed there
// (a workgroup file cut in its last page still logged on).
void refuse_partial_page(std::uint64_t file_size, std::uint32_t page_size) {
    const std::uint64_t tail_bytes = file_size % page_size;
    if (tail_bytes == 0) return;
    throw jet_error::corrupt(std::uint32_t(file_size / page_size),
                             "the file ends " + std::to_string(tail_bytes)
                                 + " bytes into this page of " + std::to_string(page_size)
                                 + " bytes");
}

}   // namespace

jet_pager::jet_pager(const std::string& path, std::u16string_view password, bool exclusive) {
    refuse_special_file(path);
    // O_NONBLOCK: a FIFO put in the file's place after the check must not hang the open.
    file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (file < 0) {
        if (errno == EACCES || errno == EPERM) throw jet_error::no_permission(path);
        throw jet_error::file_not_found(path);
    }
    try {
        if (::flock(file, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
            throw jet_error::file_in_use(path);
        read_header(path, password);
    } catch (...) {
        ::close(file);
        throw;
    }
}

jet_pager::~jet_pager() {
    if (file >= 0) ::close(file);   // also releases the lock
}

std::vector<std::uint8_t> jet_pager::read_raw(std::uint32_t page_no, std::size_t length) const {
    std::vector<std::uint8_t> bytes(length);
    off_t offset = off_t(page_no) * off_t(head.page_size);
    std::size_t done = 0;
    while (done < length) {
        ssize_t got = ::pread(file, bytes.data() + done, length - done, offset + off_t(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) throw jet_error::corrupt(page_no, "the page cannot be read in full");
        done += std::size_t(got);
    }
    return bytes;
}

void jet_pager::read_header(const std::string& path, std::u16string_view password) {
    struct stat info {};
    if (::fstat(file, &info) != 0) throw jet_error::file_not_found(path);
    if (!S_ISREG(info.st_mode)) throw jet_error::not_a_file(path, file_kind(info.st_mode));
    std::uint64_t file_size = std::uint64_t(info.st_size);
    if (file_size < HEADER_PROBE) throw jet_error::unrecognized_format(path);
    head.page_size = 0;
    std::vector<std::uint8_t> probe = read_raw(0, HEADER_PROBE);
    if (!has_signature(probe)) throw jet_error::unrecognized_format(path);
    jet_reader probe_reader(probe, 0);
    head.version_code = probe_reader.u32(0x14);
    head.format = format_of(head.version_code);
    head.page_size = is_jet3() ? 2048 : 4096;
    if (file_size < head.page_size * 2ull) throw jet_error::unrecognized_format(path);
    refuse_partial_page(file_size, head.page_size);
    head.page_count = std::uint32_t(std::min<std::uint64_t>(file_size / head.page_size, 0xFFFFFFu));
    std::vector<std::uint8_t> page0 = read_raw(0, head.page_size);
    try {
        codec = jet_open_codec(page0, password);
        jet_unmask_header(page0);
    } catch (const jet_crypt_error& error) {
        if (error.dao_number() == JET_ERR_PASSWORD)
            throw jet_error(JET_ERR_PASSWORD, "Not a valid password.");
        throw jet_error::unrecognized_format(path);
    }
    head.is_encrypted = codec != nullptr;
    jet_reader header(page0, 0);
    head.code_page = header.u16(JET_OFFSET_CODE_PAGE);
    head.sort_order = header.u16(is_jet3() ? JET3_OFFSET_SORT_ORDER : JET4_OFFSET_SORT_ORDER);
    head.creation_date = is_jet3() ? 0.0 : header.f64(JET_OFFSET_CREATION_DATE);
    page_zero = std::make_shared<const std::vector<std::uint8_t>>(std::move(page0));
}

jet_page_ptr jet_pager::page(std::uint32_t page_no) const {
    if (page_no == 0) return page_zero;
    if (page_no >= head.page_count)
        throw jet_error::corrupt(page_no, "the page lies past the end of the file ("
                                              + std::to_string(head.page_count) + " pages)");
    auto found = cache.find(page_no);
    if (found != cache.end()) return found->second;
    std::vector<std::uint8_t> bytes = read_raw(page_no, head.page_size);
    if (codec) codec->decode_page(page_no, bytes);
    auto shared = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    if (cache_order.size() < CACHE_PAGES) {
        cache_order.push_back(page_no);
    } else {
        cache.erase(cache_order[cache_next]);
        cache_order[cache_next] = page_no;
        cache_next = (cache_next + 1) % CACHE_PAGES;
    }
    cache.emplace(page_no, shared);
    return shared;
}

// dao_gen.cpp - the anonymous workgroup file: written, named, removed.
#include "dao/dao_gen.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "platform/jetcrypt/jet_header.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_exit_cleanup.hpp"
#include "tk/tk_trace.hpp"

namespace {

constexpr const char* FILE_STEM = "vantrel-workgroup-XXXXXX";

std::vector<std::uint8_t> make_image(std::size_t size, std::uint8_t version) {
    std::vector<std::uint8_t> image(size, 0);
    std::copy(std::begin(JET_MAGIC), std::end(JET_MAGIC), image.begin());
    std::copy(JET_SIGNATURE_WORKGROUP.begin(), JET_SIGNATURE_WORKGROUP.end(),
              image.begin() + JET_OFFSET_SIGNATURE);
    image[JET_OFFSET_VERSION] = version;   // 0 Jet 3, 1 Jet 4
    return image;
}

// Writes every byte, retrying short writes; false with errno set on failure.
bool write_all(int descriptor, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(descriptor, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        size -= std::size_t(written);
    }
    return true;
}

void remove_with_lock_file(const std::string& name) {
    for (const std::string& path : {name, name + ".ldb"}) {
        std::error_code failure;
        if (!std::filesystem::remove(path, failure) && failure) {
            tk_trace::write(2, "Failed to remove %s: %s", path.c_str(), failure.message().c_str());
        }
    }
}

std::string temporary_folder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

[[noreturn]] void refuse_folder(const std::string& folder, int error_number) {
    throw tk_exception("Cannot write the temporary workgroup file in '" + folder + "': "
                           + std::strerror(error_number) + ". Set TMPDIR to a writable folder.",
                       ERROR_LEVEL_FATAL);
}

}   // namespace

const std::vector<std::uint8_t>& dao_workgroup_image_a() {
    static const std::vector<std::uint8_t> image = make_image(DAO_IMAGE_A_SIZE, 1);
    return image;
}

const std::vector<std::uint8_t>& dao_workgroup_image_b() {
    static const std::vector<std::uint8_t> image = make_image(DAO_IMAGE_B_SIZE, 0);
    return image;
}

dao_generator::dao_generator() { tk_trace::write(2, "dao_generator::ctor"); }

dao_generator::~dao_generator() {
    tk_trace::write(2, "dao_generator::dtor");
    if (!b_generated) return;
    remove_with_lock_file(name);
    tk_exit_cleanup::forget(name);
    tk_exit_cleanup::forget(name + ".ldb");
}

void dao_generator::do_generate(std::size_t size, const std::uint8_t* bytes) {
    tk_trace::write(1, "dao_generator::do_generate");
    TK_ASSERT(bytes != nullptr);
    const std::string folder = temporary_folder();
    // mkstemp picks a name nobody holds and creates it 0600 with O_EXCL: no race with
    // another process, no file of someone else's overwritten.
    std::string candidate = folder + "/" + FILE_STEM;
    const int descriptor = ::mkostemp(candidate.data(), O_CLOEXEC);
    if (descriptor < 0) refuse_folder(folder, errno);
    tk_trace::write(2, "GOT GENERATED NAME: %s", candidate.c_str());
    const bool written = write_all(descriptor, bytes, size);
    const int saved_errno = errno;
    ::close(descriptor);
    if (!written) {
        std::remove(candidate.c_str());
        refuse_folder(folder, saved_errno);
    }
    name = candidate;
    b_generated = true;
    // A second Ctrl-C ends the process at once; the file (and the lock file Jet may make
    // beside it) must not outlive it all the same.
    tk_exit_cleanup::add(name);
    tk_exit_cleanup::add(name + ".ldb");
}

// dao_gen.cpp - the anonymous workgroup file: written, named, removed.
#include "dao/dao_gen.hpp"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <unistd.h>

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"

namespace {

constexpr int LAST_TMP_NUMBER = 65535;
constexpr char JET_SYSTEM_DB[] = "Jet System DB  ";   // 15 characters and the NUL after them

std::vector<std::uint8_t> make_image(std::size_t size, std::uint8_t version) {
    std::vector<std::uint8_t> image(size, 0);
    image[1] = 0x01;   // page 0 magic 00 01 00 00
    for (std::size_t at = 0; at < sizeof JET_SYSTEM_DB; ++at) {
        image[4 + at] = std::uint8_t(JET_SYSTEM_DB[at]);
    }
    image[0x14] = version;   // 0 Jet 3, 1 Jet 4
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

// A fatal error ends the process with exit(), which never unwinds to the engine's destructor:
// without this list every such run left its ~tmpNNNN file in the user's current folder.
std::mutex pending_mutex;
std::vector<std::string>& pending_files() {
    static std::vector<std::string> files;
    return files;
}

void remove_with_lock_file(const std::string& name) {
    for (const std::string& path : {name, name + ".ldb"}) {
        std::error_code failure;
        if (!std::filesystem::remove(path, failure) && failure) {
            tk_trace::write(2, "Failed to remove %s: %s", path.c_str(),
                            failure.message().c_str());
        }
    }
}

void remove_pending_files() {
    std::scoped_lock lock(pending_mutex);
    for (const std::string& name : pending_files()) remove_with_lock_file(name);
    pending_files().clear();
}

void remember_pending(const std::string& name) {
    static std::once_flag hook;
    // The list must exist before the hook is registered: exit() destroys statics and runs
    // hooks in reverse order of registration, so the list outlives the hook's run.
    std::call_once(hook, [] {
        pending_files();
        std::atexit(remove_pending_files);
    });
    std::scoped_lock lock(pending_mutex);
    pending_files().push_back(name);
}

void forget_pending(const std::string& name) {
    std::scoped_lock lock(pending_mutex);
    std::erase(pending_files(), name);
}

}  // namespace

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
    forget_pending(name);
}

std::string dao_generator::gen_name() {
    tk_trace::write(1, "dao_generator::gen_name");
    for (int number = 0; number <= LAST_TMP_NUMBER; ++number) {
        char candidate[16];
        std::snprintf(candidate, sizeof candidate, "~tmp%04d", number);
        std::error_code failure;
        if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, failure))) {
            return candidate;
        }
    }
    TK_ASSERT(false && "no free temporary name");
    return {};
}

void dao_generator::do_generate(std::size_t size, const std::uint8_t* bytes) {
    tk_trace::write(1, "dao_generator::do_generate");
    TK_ASSERT(bytes != nullptr);
    // Another process can take the name between the check and the creation: O_EXCL
    // refuses it then, and the next free name is tried.
    for (;;) {
        std::string candidate = gen_name();
        tk_trace::write(2, "GOT GENERATED NAME: %s", candidate.c_str());
        int descriptor = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (descriptor < 0 && errno == EEXIST) continue;
        if (descriptor < 0) throw tk_exception_ex();
        bool written = write_all(descriptor, bytes, size);
        int saved_errno = errno;
        ::close(descriptor);
        if (!written) {
            std::remove(candidate.c_str());
            throw tk_exception_ex(saved_errno);
        }
        name = candidate;
        b_generated = true;
        remember_pending(name);
        return;
    }
}

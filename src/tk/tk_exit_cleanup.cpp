// tk_exit_cleanup.cpp - the slots of files to remove at a sudden end; see the header.
#include "tk/tk_exit_cleanup.hpp"

#include <array>
#include <atomic>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace {

constexpr std::size_t SLOT_COUNT = 8;

struct slot {
    std::atomic<bool> b_used{false};
    char path[PATH_MAX] = {};
};

std::array<slot, SLOT_COUNT>& slots() {
    static std::array<slot, SLOT_COUNT> all;
    return all;
}

}   // namespace

bool tk_exit_cleanup::add(const std::string& path) {
    if (path.empty() || path.size() >= PATH_MAX) return false;
    for (slot& candidate : slots()) {
        if (candidate.b_used.load()) continue;
        std::memcpy(candidate.path, path.c_str(), path.size() + 1);
        candidate.b_used.store(true);   // published after the path is whole
        return true;
    }
    return false;
}

void tk_exit_cleanup::forget(const std::string& path) {
    for (slot& candidate : slots()) {
        if (candidate.b_used.load() && path == candidate.path) candidate.b_used.store(false);
    }
}

void tk_exit_cleanup::remove_all_now() {
    for (slot& candidate : slots()) {
        if (candidate.b_used.load()) ::unlink(candidate.path);
    }
}

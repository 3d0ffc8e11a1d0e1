// e2e_paths.cpp - locations from the compile definitions that vantrel_add_test passes.
#include "e2e/e2e_paths.hpp"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace e2e_paths {

std::string build_dir() { return VANTREL_BUILD_DIR; }
std::string agent() { return build_dir() + "/vantrelagent"; }
std::string dump() { return build_dir() + "/vantreldump"; }
std::string double_server() { return build_dir() + "/mssql-double"; }
std::string testdata_dir() { return VANTREL_TESTDATA_DIR; }

bool has_testdata() { return std::filesystem::exists(testdata_dir() + "/MANIFEST.md"); }

std::string testdata(const std::string& relative) { return testdata_dir() + "/" + relative; }

bool is_executable(const std::string& path) { return ::access(path.c_str(), X_OK) == 0; }

std::string make_scratch_dir(const std::string& purpose) {
    std::string pattern = build_dir() + "/e2e-scratch";
    std::filesystem::create_directories(pattern);
    pattern += "/" + purpose + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) return "";
    return pattern;
}

void remove_tree(const std::string& path) {
    std::error_code ignored;   // a scratch folder left behind costs disk, never a result
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
}

}   // namespace e2e_paths

#pragma once
// jet_test_files.hpp - the shared real Access files the engine tests read, found through
// VANTREL_TESTDATA_DIR; test_data.hpp says what a test does when the folder is absent.

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "test_data.hpp"

inline std::filesystem::path jet_testdata_dir() { return VANTREL_TESTDATA_DIR; }

inline bool jet_has_testdata() { return std::filesystem::is_directory(jet_testdata_dir()); }

// path relative to the test data folder, e.g. "jahlborn-jackcess/V1997/testV1997.mdb".
inline std::string jet_testdata(const std::string& relative) {
    return (jet_testdata_dir() / relative).string();
}

// Every .mdb and .accdb below the folder, sorted, as paths relative to it.
inline std::vector<std::string> jet_all_test_databases() {
    std::vector<std::string> files;
    if (!jet_has_testdata()) return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(jet_testdata_dir())) {
        std::string extension = entry.path().extension().string();
        if (extension == ".mdb" || extension == ".accdb")
            files.push_back(std::filesystem::relative(entry.path(), jet_testdata_dir()).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The whole file as bytes; empty when it cannot be read.
inline std::string jet_read_test_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A file in the temporary folder, removed with this object, for damaged copies.
class jet_scratch_file {
public:
    explicit jet_scratch_file(const std::string& tag)
        : path(std::filesystem::temp_directory_path()
               / ("jet_fuzz_" + std::to_string(::getpid()) + "_" + tag)) {}
    ~jet_scratch_file() { std::filesystem::remove(path); }
    jet_scratch_file(const jet_scratch_file&) = delete;
    jet_scratch_file& operator=(const jet_scratch_file&) = delete;

    void write(const std::string& bytes) const {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    // Overwrites bytes.size() bytes at offset, leaving the rest of the file as it is.
    void patch(std::size_t offset, const std::string& bytes) const {
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(std::streamoff(offset));
        file.write(bytes.data(), std::streamsize(bytes.size()));
    }

    std::filesystem::path path;
};

#define JET_REQUIRE_TESTDATA() TEST_DATA_REQUIRE(jet_has_testdata(), jet_testdata_dir())

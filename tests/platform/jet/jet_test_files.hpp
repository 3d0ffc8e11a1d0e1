#pragma once
// jet_test_files.hpp - the shared real Access files the engine tests read, found through
// VANTREL_TESTDATA_DIR. Tests skip when the folder is absent.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

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

#define JET_REQUIRE_TESTDATA() \
    if (!jet_has_testdata()) GTEST_SKIP() << "no test data at " << jet_testdata_dir()

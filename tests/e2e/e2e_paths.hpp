#pragma once
// e2e_paths.hpp - where the programs under test and the shared test files are. The build and
// data folders come from CMake; nothing here names a machine path of its own.

#include <string>

namespace e2e_paths {

std::string build_dir();
std::string agent();           // build/vantrelagent
std::string dump();            // build/vantreldump
std::string double_server();   // build/mssql-double
std::string testdata_dir();    // VANTREL_TESTDATA_DIR
bool has_testdata();
std::string testdata(const std::string& relative);   // a file under the data folder
bool is_executable(const std::string& path);
// A fresh scratch folder for one test (removed by the test's own scratch object).
std::string make_scratch_dir(const std::string& purpose);
void remove_tree(const std::string& path);

}   // namespace e2e_paths

// A scratch folder that lives as long as this object.
class e2e_scratch {
public:
    explicit e2e_scratch(const std::string& purpose) : path(e2e_paths::make_scratch_dir(purpose)) {}
    ~e2e_scratch() { e2e_paths::remove_tree(path); }
    e2e_scratch(const e2e_scratch&) = delete;
    e2e_scratch& operator=(const e2e_scratch&) = delete;

    const std::string path;
};

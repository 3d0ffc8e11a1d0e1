// dao_test_env.hpp - what the Access-side tests share: the real test files (test_data.hpp
// says what happens when they are absent) and an engine working in a fresh current folder, so the
// anonymous workgroup files it writes land there and go with it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "dao/dao_db.hpp"
#include "dao/dao_engi.hpp"
#include "platform/jet/jet_database.hpp"
#include "test_data.hpp"
#include "tk/tk_test_folder.hpp"
#include "tk/tk_utf.hpp"

inline std::string dao_test_file(const std::string& relative) {
    return std::string(VANTREL_TESTDATA_DIR) + "/" + relative;
}

#define DAO_REQUIRE_TESTDATA()                                                                     \
    TEST_DATA_REQUIRE(std::filesystem::exists(dao_test_file("MANIFEST.md")), VANTREL_TESTDATA_DIR)

// Changes into a fresh folder for the test's life.
class dao_test_cwd {
public:
    dao_test_cwd() : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(folder.path());
    }
    ~dao_test_cwd() {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
    }
    std::string path() const { return folder.path(); }

private:
    tk_test_folder folder;
    std::filesystem::path previous;
};

// An engine of generation 0 in a fresh current folder.
class dao_test_engine {
public:
    explicit dao_test_engine(int key = 0) {
        if (!engine.set_version_if(key)) throw std::runtime_error("no DAO generation");
    }

    std::unique_ptr<dao_database> open(const std::string& relative, std::uint32_t mode = 1,
                                       const std::u16string& password = u"") {
        std::unique_ptr<udb_database> opened = engine.open_db(
            tk_utf8_to_utf16(dao_test_file(relative)), mode, password);
        return std::unique_ptr<dao_database>(static_cast<dao_database*>(opened.release()));
    }

    dao_test_cwd cwd;
    dao_engine engine{true, false};
};

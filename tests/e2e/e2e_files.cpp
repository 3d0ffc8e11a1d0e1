// e2e_files.cpp - the manifest's file table: column 1 the path, 4 the format, 11 the password
// (between backticks when the file has one).
#include "e2e/e2e_files.hpp"

#include <cctype>
#include <fstream>
#include <sstream>

#include "e2e/e2e_paths.hpp"

namespace {

constexpr const char* ROW_PREFIX = "| testdata/access/";
constexpr std::size_t PATH_COLUMN = 1, FORMAT_COLUMN = 4, PASSWORD_COLUMN = 11;

std::vector<std::string> cells(const std::string& row) {
    std::vector<std::string> result;
    std::stringstream stream(row);
    std::string cell;
    while (std::getline(stream, cell, '|')) {
        std::size_t first = cell.find_first_not_of(' ');
        std::size_t last = cell.find_last_not_of(' ');
        result.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
    }
    return result;
}

std::string test_name_of(const std::string& relative) {
    std::string name;
    for (char ch : relative.substr(relative.find('/') + 1))
        name.push_back(std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_');
    return name;
}

}   // namespace

std::vector<e2e_file> e2e_parse_manifest(const std::string& text) {
    std::vector<e2e_file> files;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(ROW_PREFIX, 0) != 0) continue;
        std::vector<std::string> row = cells(line);
        if (row.size() <= PASSWORD_COLUMN) continue;
        e2e_file file;
        file.relative = row[PATH_COLUMN].substr(std::string("testdata/access/").size());
        if (file.relative.size() > 4 && file.relative.substr(file.relative.size() - 4) == ".mdw")
            continue;
        file.format = row[FORMAT_COLUMN];
        const std::string& password = row[PASSWORD_COLUMN];
        std::size_t open = password.find('`');
        std::size_t close = open == std::string::npos ? open : password.find('`', open + 1);
        if (close != std::string::npos) file.password = password.substr(open + 1, close - open - 1);
        file.test_name = test_name_of(file.relative);
        files.push_back(file);
    }
    return files;
}

std::vector<e2e_file> e2e_manifest_files() {
    std::ifstream in(e2e_paths::testdata("MANIFEST.md"));
    std::stringstream text;
    text << in.rdbuf();
    return e2e_parse_manifest(text.str());
}

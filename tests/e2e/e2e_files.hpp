#pragma once
// e2e_files.hpp - the shared Access test files the suite converts, read from the data folder's
// MANIFEST.md so that a file added there is converted without touching the suite. Workgroup
// files (.mdw) are not databases to convert and are left out.

#include <ostream>
#include <string>
#include <vector>

struct e2e_file {
    std::string relative;    // path below the data folder
    std::string password;    // database password from the manifest, empty when none
    std::string format;      // JET3, JET4, ACE12, ...
    std::string test_name;   // the file name as a GoogleTest parameter name
};

std::vector<e2e_file> e2e_manifest_files();
// GoogleTest prints a parameter by its path.
inline void PrintTo(const e2e_file& file, std::ostream* out) { *out << file.relative; }
// Parses the manifest's table rows ("| testdata/access/<path> | ... |").
std::vector<e2e_file> e2e_parse_manifest(const std::string& text);

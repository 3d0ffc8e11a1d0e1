#pragma once
// double_fixture.hpp - where the mssql-double of the CTest fixture "mssql_double" listens.
// A test registered with vantrel_add_test(... FIXTURES mssql_double) includes this header as
// "mssql-double/double_fixture.hpp" and connects to host():port() as user()/password().
// Each test should create and drop databases of its own name: ctest -j runs tests at once.

#include <cstdlib>
#include <fstream>
#include <string>

namespace double_fixture {

inline std::string host() { return "127.0.0.1"; }
inline std::string user() { return "sa"; }
inline std::string password() { return "Secret1"; }

// The port the fixture wrote, or 0 when the double is not running. A suite run again against
// a double claiming another release names that double's port file in VANTREL_DOUBLE_PORT_FILE.
inline int port() {
    const char* other = std::getenv("VANTREL_DOUBLE_PORT_FILE");
    std::ifstream file(other != nullptr && *other != '\0'
                           ? std::string(other)
                           : std::string(VANTREL_BUILD_DIR) + "/mssql-double.port");
    int value = 0;
    file >> value;
    return value;
}

}   // namespace double_fixture

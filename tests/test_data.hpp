#pragma once
// test_data.hpp - what a test does when the shared Access test data is missing: it skips on a
// developer's machine, and fails where VANTREL_REQUIRE_TESTDATA=1 (CI), so that a run without
// the data can never pass green.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

inline bool test_data_is_required() {
    const char* value = std::getenv("VANTREL_REQUIRE_TESTDATA");
    return value != nullptr && std::string_view(value) == "1";
}

// Leaves the test or its SetUp when `present` is false; `where` names what is missing.
#define TEST_DATA_REQUIRE(present, where)                                                          \
    do {                                                                                           \
        if (!(present)) {                                                                          \
            if (test_data_is_required())                                                           \
                FAIL() << "shared test data missing with VANTREL_REQUIRE_TESTDATA=1: " << (where); \
            GTEST_SKIP() << "shared test data missing: " << (where);                               \
        }                                                                                          \
    } while (false)

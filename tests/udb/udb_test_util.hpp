// udb_test_util.hpp - helpers shared by the neutral model's tests: descriptors made in one
// line, and the check that a call fails with the internal-error assertion of a given source.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "ole/ole_var.hpp"
#include "tk/tk_exce.hpp"
#include "udb/udb_sche.hpp"

inline std::unique_ptr<t_ftd> make_ftd(std::uint16_t vartype, std::uint32_t size,
                                       std::u16string name = u"c") {
    return std::make_unique<t_ftd>(size, std::move(name), vartype, false, false, ole_variant(), 0u);
}

// The location code users quote starts with the source name and a backslash, each byte as two
// lowercase hex digits; worked here by hand rather than through tk_mail_assertion's own code.
inline std::string hex_of(const std::string& text) {
    std::string hex;
    for (unsigned char byte : text) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", byte);
        hex += digits;
    }
    return hex;
}

template <class Call>
void expect_assertion_from(const std::string& source, Call&& call) {
    try {
        call();
        ADD_FAILURE() << "expected an internal-error assertion from " << source;
    } catch (const tk_mail_assertion& failure) {
        EXPECT_EQ(failure.level(), ERROR_LEVEL_INTERNAL);
        const std::string prefix = "Internal error: \ncode=" + hex_of(source + "\\");
        EXPECT_EQ(std::string(failure.what()).rfind(prefix, 0), 0u) << failure.what();
    }
}

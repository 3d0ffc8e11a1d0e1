// tk_regk.hpp - a registry key over the settings stand-in (platform/settings/set_key.hpp).
// Queries return the registry's result code and never throw; only misuse (a null argument, a
// closed key) raises tk_mail_assertion at the fixed lines below. The wizard keeps its
// last-used settings under TK_VANTREL_KEY.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/settings/set_key.hpp"

inline constexpr const char* TK_VANTREL_KEY = "Software\\Orvane\\Vantrel";

inline constexpr const char* TK_REGK_SOURCE = "tk_regk";
inline constexpr int FAULT_REGK_NO_ROOT = 64;
inline constexpr int FAULT_REGK_NUMBER_NAME_MISSING = 98;
inline constexpr int FAULT_REGK_TEXT_SIZE_MISSING = 132;
inline constexpr int FAULT_REGK_TEXT_NAME_MISSING = 133;
inline constexpr int FAULT_REGK_NUMBER_SET_ON_CLOSED_KEY = 149;
inline constexpr int FAULT_REGK_TEXT_VALUE_MISSING = 164;
inline constexpr int FAULT_REGK_TEXT_SET_ON_CLOSED_KEY = 165;

class tk_reg_key {
public:
    explicit tk_reg_key(std::string key_path);
    ~tk_reg_key();

    // Creates or opens `sub_key` under `root`; a key that was open is closed first.
    long open(set_root root, const std::string& sub_key, std::uint32_t* disposition = nullptr);
    void close();
    bool is_open() const { return key_ != nullptr; }

    long get_value(const char* name, std::uint32_t& value) const;
    // `size` in bytes, the terminating NUL included. A null buffer asks for the size; a short
    // one gets SET_ERROR_MORE_DATA and the size needed.
    long get_value(const char16_t* name, char16_t* buffer, std::uint32_t* size) const;
    long set_value(const char* name, std::uint32_t value);
    long set_value(const char16_t* name, const char16_t* text);

    // Writes the variable, or reads the value into it; a missing value leaves it unchanged.
    void exchange(const char* name, bool& value, bool write);
    void exchange(const char16_t* name, std::u16string& value, bool write);

    const std::string& key_path() const { return key_path_; }

private:
    std::string key_path_;
    std::unique_ptr<set_key> key_;
};

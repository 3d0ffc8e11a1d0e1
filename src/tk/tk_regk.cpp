// tk_regk.cpp - registry key operations with the trace lines support staff read.
#include "tk/tk_regk.hpp"

#include <cstring>
#include <vector>

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

tk_reg_key::tk_reg_key(std::string key_path) : key_path_(std::move(key_path)) {}

tk_reg_key::~tk_reg_key() = default;

long tk_reg_key::open(set_root root, const std::string& sub_key, std::uint32_t* disposition) {
    if (root == set_root::NONE) throw tk_mail_assertion(TK_REGK_SOURCE, FAULT_REGK_NO_ROOT);
    close();
    long result = SET_ERROR_SUCCESS;
    key_ = set_key::open(root, sub_key, result, disposition);
    if (result != SET_ERROR_SUCCESS) {
        tk_trace::write(2, "tk_reg_key::open(%s) failed: %ld", sub_key.c_str(), result);
    }
    return result;
}

void tk_reg_key::close() { key_.reset(); }

long tk_reg_key::get_value(const char* name, std::uint32_t& value) const {
    if (name == nullptr) throw tk_mail_assertion(TK_REGK_SOURCE, FAULT_REGK_NUMBER_NAME_MISSING);
    tk_trace::write(2, "tk_reg_key::get_value(ulong, %s)", name);
    if (!key_) return SET_ERROR_INVALID_PARAMETER;
    std::uint32_t kind = 0;
    std::uint32_t size = 0;
    const long info = key_->query_info(name, kind, size);
    tk_trace::write(1, "type=%d, size=%d", int(kind), int(size));
    if (info != SET_ERROR_SUCCESS) return info;
    return key_->query_dword(name, value);
}

long tk_reg_key::get_value(const char16_t* name, char16_t* buffer, std::uint32_t* size) const {
    if (size == nullptr) throw tk_mail_assertion(TK_REGK_SOURCE, FAULT_REGK_TEXT_SIZE_MISSING);
    if (name == nullptr) throw tk_mail_assertion(TK_REGK_SOURCE, FAULT_REGK_TEXT_NAME_MISSING);
    tk_trace::write(2, u"tk_reg_key::get_value(LPWSTR, %s)", name);
    if (!key_) return SET_ERROR_INVALID_PARAMETER;
    const std::string narrow_name = tk_utf16_to_utf8(name);
    std::uint32_t kind = 0;
    std::uint32_t needed = 0;
    const long info = key_->query_info(narrow_name, kind, needed);
    tk_trace::write(1, "type=%d, size=%d", int(kind), int(needed));
    if (info != SET_ERROR_SUCCESS) return info;
    if (kind != SET_REG_SZ) return SET_ERROR_INVALID_PARAMETER;
    const std::uint32_t offered = *size;
    *size = needed;
    if (buffer == nullptr) return SET_ERROR_SUCCESS;
    if (offered < needed) return SET_ERROR_MORE_DATA;
    std::u16string text;
    key_->query_string(narrow_name, text);
    std::memcpy(buffer, text.c_str(), needed);
    return SET_ERROR_SUCCESS;
}

long tk_reg_key::set_value(const char* name, std::uint32_t value) {
    if (!key_) throw tk_mail_assertion(TK_REGK_SOURCE, FAULT_REGK_NUMBER_SET_ON_CLOSED_KEY);
    const long result = key_->set_dword(name == nullptr ? "" : name, value);
    if (result != SET_ERROR_SUCCESS) {
        tk_trace::write(2, "tk_reg_key::set_value(%s) failed: %ld", name, result);
    }
    return result;
}

long tk_reg_key::set_value(const char16_t* name, const char16_t* text) {
    if (text == nullptr) throw tk_mail_assertion(TK_REGK_SOURCE, FAULT_REGK_TEXT_VALUE_MISSING);
    if (!key_) throw tk_mail_assertion(TK_REGK_SOURCE, FAULT_REGK_TEXT_SET_ON_CLOSED_KEY);
    const long result = key_->set_string(name == nullptr ? "" : tk_utf16_to_utf8(name), text);
    if (result != SET_ERROR_SUCCESS) {
        tk_trace::write(2, u"tk_reg_key::set_value(%s) failed: %ld", name, result);
    }
    return result;
}

void tk_reg_key::exchange(const char* name, bool& value, bool write) {
    if (!key_) return;
    if (write) {
        set_value(name, value ? 1u : 0u);
        return;
    }
    std::uint32_t stored = 0;
    if (get_value(name, stored) == SET_ERROR_SUCCESS) value = stored != 0;
}

void tk_reg_key::exchange(const char16_t* name, std::u16string& value, bool write) {
    if (!key_) return;
    if (write) {
        set_value(name, value.c_str());
        return;
    }
    std::uint32_t size = 0;
    if (get_value(name, nullptr, &size) != SET_ERROR_SUCCESS || size < 2) return;
    std::vector<char16_t> buffer(size / 2);
    if (get_value(name, buffer.data(), &size) != SET_ERROR_SUCCESS) return;
    value.assign(buffer.data(), size / 2 - 1);
}

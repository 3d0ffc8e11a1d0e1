// dao_bstr.cpp - text in the engine generation's form.
#include "dao/dao_bstr.hpp"

#include <cstring>

#include "dao/dao_engi.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

bool dao_is_narrow_engine() {
    return dao_engine::is_registered() && dao_engine::instance().get_engine_key() == 3;
}

VARIANT dao_number_variant(std::int32_t number) {
    VARIANT argument{};
    argument.vt = VT_I4;
    argument.lVal = number;
    return argument;
}

dao_bstr::dao_bstr() = default;

dao_bstr::dao_bstr(const std::string& narrow) {
    tk_trace::write(1, "dao_bstr(string) '%s'", narrow.c_str());
    assign(tk_utf8_to_utf16(narrow));
}

dao_bstr::dao_bstr(const std::u16string& wide) {
    tk_trace::write(1, u"dao_bstr(wstring) '%s'", wide);
    assign(wide);
}

dao_bstr::dao_bstr(dao_bstr&& other) noexcept : text(other.text), b_secret(other.b_secret) {
    other.text = nullptr;
}

dao_bstr dao_bstr::secret(const std::u16string& wide) {
    tk_trace::write(1, "dao_bstr(wstring) '***'");
    dao_bstr result;
    result.b_secret = true;
    result.assign(wide);
    return result;
}

dao_bstr::~dao_bstr() {
    if (b_secret && text != nullptr) {
        std::memset(text, 0, SysStringByteLen(text));
    }
    SysFreeString(text);
}

void dao_bstr::assign(const std::u16string& wide) {
    SysFreeString(text);
    if (dao_is_narrow_engine()) {
        std::string bytes = tk_utf16_to_utf8(wide);
        text = SysAllocStringByteLen(bytes.data(), UINT(bytes.size()));
        if (b_secret) std::memset(bytes.data(), 0, bytes.size());
    } else {
        text = SysAllocStringLen(wide.data(), UINT(wide.size()));
    }
}

dao_bstr::operator BSTR() const {
    if (b_secret) {
        tk_trace::write(1, "dao_bstr::operator BSTR '***'");
    } else {
        tk_trace::write(1, "dao_bstr::operator BSTR '%s'", to_string().c_str());
    }
    return text;
}

BSTR* dao_bstr::put() {
    SysFreeString(text);
    text = nullptr;
    return &text;
}

VARIANT dao_bstr::as_variant() const {
    VARIANT argument{};
    argument.vt = VT_BSTR;
    argument.bstrVal = text;
    return argument;
}

std::string dao_bstr::to_string() const {
    if (!dao_is_narrow_engine()) return tk_utf16_to_utf8(bstr_view(text));
    std::string bytes(SysStringByteLen(text), '\0');
    if (!bytes.empty()) std::memcpy(bytes.data(), text, bytes.size());
    return bytes;
}

std::u16string dao_bstr::to_wstring() const {
    if (!dao_is_narrow_engine()) return std::u16string(bstr_view(text));
    return tk_utf8_to_utf16(to_string());
}

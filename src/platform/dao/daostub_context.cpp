// daostub_context.cpp - the Errors collection and text forms shared by one engine's objects.
#include "platform/dao/daostub_context.hpp"

#include <cstring>
#include <new>

#include "platform/jet/jet_error.hpp"
#include "platform/jetcrypt/jet_codec.hpp"
#include "platform/winbase/win_compare.hpp"
#include "tk/tk_utf.hpp"

HRESULT daostub_context::fail(int number, std::string description) {
    error_list.clear();
    error_list.push_back(daostub_error{number, std::move(description)});
    return dao_hresult(number);
}

HRESULT daostub_context::fail(const std::exception& failure) {
    if (const auto* engine = dynamic_cast<const jet_error*>(&failure)) {
        return fail(engine->dao_number(), engine->what());
    }
    if (const auto* crypt = dynamic_cast<const jet_crypt_error*>(&failure)) {
        return fail(crypt->dao_number(), crypt->what());
    }
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) {
        return fail(DAO_ERR_OUT_OF_MEMORY, "Out of memory.");
    }
    // Anything else from the engine is a structure it could not make sense of.
    return fail(DAO_ERR_CORRUPT,
                "Cannot open database. It may not be a database that your application "
                "recognizes, or the file may be corrupt.");
}

std::u16string daostub_context::text_in(BSTR text) const {
    if (!b_narrow_text) return std::u16string(bstr_view(text));
    std::string bytes(SysStringByteLen(text), '\0');
    if (!bytes.empty()) std::memcpy(bytes.data(), text, bytes.size());
    return tk_utf8_to_utf16(bytes);
}

BSTR daostub_context::text_out(std::u16string_view text) const {
    if (!b_narrow_text) return SysAllocStringLen(text.data(), UINT(text.size()));
    std::string bytes = tk_utf16_to_utf8(text);
    return SysAllocStringByteLen(bytes.data(), UINT(bytes.size()));
}

HRESULT daostub_find_item(daostub_context& context, const VARIANT& index,
                          const std::vector<std::u16string>& names, std::size_t* position) {
    std::int64_t number = -1;
    switch (index.vt) {
    case VT_I2: number = index.iVal; break;
    case VT_I4: number = index.lVal; break;
    case VT_BSTR: {
        std::u16string wanted = context.text_in(index.bstrVal);
        for (std::size_t item_idx = 0; item_idx < names.size(); ++item_idx) {
            if (!win_equal_ignore_case(names[item_idx], wanted)) continue;
            *position = item_idx;
            return S_OK;
        }
        return context.fail(DAO_ERR_ITEM_NOT_FOUND, "Item not found in this collection.");
    }
    default: return context.fail(DAO_ERR_INVALID_ARGUMENT, "Invalid argument.");
    }
    if (number < 0 || std::uint64_t(number) >= names.size()) {
        return context.fail(DAO_ERR_ITEM_NOT_FOUND, "Item not found in this collection.");
    }
    *position = std::size_t(number);
    return S_OK;
}

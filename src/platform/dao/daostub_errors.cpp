// daostub_errors.cpp - Errors and Error.
#include "platform/dao/daostub_errors.hpp"

#include "tk/tk_utf.hpp"

HRESULT DAOError::get_Number(LONG* number) {
    if (number == nullptr) return E_POINTER;
    *number = error.number;
    return S_OK;
}

HRESULT DAOError::get_Description(BSTR* description) {
    if (description == nullptr) return E_POINTER;
    *description = context->text_out(tk_utf8_to_utf16(error.description));
    return S_OK;
}

HRESULT DAOErrors::get_Count(SHORT* count) {
    if (count == nullptr) return E_POINTER;
    *count = SHORT(context->errors().size());
    return S_OK;
}

// Reading Errors must not replace them, so a bad index answers an HRESULT only.
HRESULT DAOErrors::get_Item(VARIANT index, DAOError** error) {
    if (error == nullptr) return E_POINTER;
    *error = nullptr;
    std::int64_t position = -1;
    if (index.vt == VT_I2) position = index.iVal;
    if (index.vt == VT_I4) position = index.lVal;
    if (position < 0 || std::uint64_t(position) >= context->errors().size()) {
        return DISP_E_BADINDEX;
    }
    *error = com_new<DAOError>(context, context->errors()[std::size_t(position)]);
    return S_OK;
}

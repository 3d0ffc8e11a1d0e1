// daostub_engine.cpp - DBEngine and Workspace.
#include "platform/dao/daostub_engine.hpp"

#include <algorithm>

#include "platform/jet/jet_database.hpp"
#include "platform/winbase/win_compare.hpp"
#include "platform/workgroup/jet_workgroup.hpp"
#include "tk/tk_utf.hpp"

namespace {

constexpr int DAO_ERR_WORKGROUP_MISSING = 3028;

bool is_true(const VARIANT& value) {
    switch (value.vt) {
    case VT_BOOL: return value.boolVal != 0;
    case VT_I2: return value.iVal != 0;
    case VT_I4: return value.lVal != 0;
    default: return false;
    }
}

// Overwrites a copy of a password before its memory goes back.
void wipe(std::u16string& text) {
    std::fill(text.begin(), text.end(), u'\0');
    text.clear();
}

}   // namespace

HRESULT DAOWorkspace::get_Name(BSTR* text) {
    if (text == nullptr) return E_POINTER;
    *text = context->text_out(name);
    return S_OK;
}

HRESULT DAOWorkspace::get_UserName(BSTR* text) {
    if (text == nullptr) return E_POINTER;
    *text = context->text_out(user_name);
    return S_OK;
}

DAODBEngine::DAODBEngine(bool narrow_text)
    : context(std::make_shared<daostub_context>(narrow_text)) {}

HRESULT DAODBEngine::get_Errors(DAOErrors** errors) {
    if (errors == nullptr) return E_POINTER;
    *errors = com_new<DAOErrors>(context);
    return S_OK;
}

HRESULT DAODBEngine::put_SystemDB(BSTR path) {
    context->system_db = context->text_in(path);
    return S_OK;
}

HRESULT DAODBEngine::get_SystemDB(BSTR* path) {
    if (path == nullptr) return E_POINTER;
    *path = context->text_out(context->system_db);
    return S_OK;
}

HRESULT DAODBEngine::CreateWorkspace(BSTR name, BSTR user_name, BSTR password, VARIANT,
                                     DAOWorkspace** workspace) {
    if (workspace == nullptr) return E_POINTER;
    *workspace = nullptr;
    if (context->system_db.empty()) {
        return context->fail(DAO_ERR_WORKGROUP_MISSING,
                             "Cannot start your application. The workgroup information file "
                             "is missing or opened exclusively by another user.");
    }
    std::u16string user = context->text_in(user_name);
    std::u16string secret = context->text_in(password);
    HRESULT result = context->guard([&] {
        jet_workgroup_account account = jet_workgroup_logon(tk_utf16_to_utf8(context->system_db),
                                                            user, secret);
        *workspace = com_new<DAOWorkspace>(context, context->text_in(name), account.name);
    });
    wipe(secret);
    return result;
}

HRESULT DAODBEngine::OpenDatabase(BSTR name, VARIANT exclusive, VARIANT, VARIANT connect,
                                  DAODatabase** database) {
    if (database == nullptr) return E_POINTER;
    *database = nullptr;
    std::u16string password;
    jet_open_options options;
    if (connect.vt == VT_BSTR) {
        std::u16string connect_text = context->text_in(connect.bstrVal);
        password = daostub_connect_password(connect_text);
        options.code_page = daostub_connect_code_page(connect_text);
        options.code_page_origin = "the converter's settings";
        wipe(connect_text);
    }
    options.exclusive = is_true(exclusive);
    std::string path = tk_utf16_to_utf8(context->text_in(name));
    HRESULT result = context->guard([&] {
        std::shared_ptr<const jet_database> opened = jet_database::open(path, password, options);
        *database = com_new<DAODatabase>(context, std::move(opened));
    });
    wipe(password);
    return result;
}

HRESULT DAODBEngine::CreateDatabase(BSTR name, BSTR, VARIANT, DAODatabase** database) {
    if (database == nullptr) return E_POINTER;
    *database = nullptr;
    std::string path = tk_utf16_to_utf8(context->text_in(name));
    return context->guard([&] {
        auto written = std::make_shared<daostub_written_file>(jet_database_writer::create(path));
        *database = com_new<DAODatabase>(context, std::move(written));
    });
}

namespace {

std::size_t find_key(std::u16string_view connect, std::u16string_view key) {
    for (std::size_t at = 0; at + key.size() <= connect.size(); ++at)
        if (win_equal_ignore_case(connect.substr(at, key.size()), key)) return at;
    return std::u16string_view::npos;
}

}   // namespace

std::uint16_t daostub_connect_code_page(std::u16string_view connect) {
    constexpr std::u16string_view key = u";codepage=";
    std::u16string_view settings = connect.substr(0, find_key(connect, u";pwd="));
    std::size_t at = find_key(settings, key);
    if (at == std::u16string_view::npos) return 0;
    std::u16string_view value = settings.substr(at + key.size());
    value = value.substr(0, value.find(u';'));
    std::string digits;
    for (char16_t c : value) {
        if (c > 0x7F) return 0;
        digits.push_back(char(c));
    }
    return jet_parse_code_page(digits).value_or(0);
}

std::u16string daostub_connect_password(std::u16string_view connect) {
    constexpr std::u16string_view key = u";pwd=";
    std::size_t at = find_key(connect, key);
    if (at == std::u16string_view::npos) return {};
    return std::u16string(connect.substr(at + key.size()));
}

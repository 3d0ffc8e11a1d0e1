#pragma once
// daostub_engine.hpp - DAO's DBEngine and Workspace over our Jet engine. OpenDatabase opens
// read-only whatever is asked (the stand-in never writes a file); exclusive takes the
// engine's file lock; the connect text ";pwd=..." carries the database password.
// CreateWorkspace logs on to the workgroup file set as SystemDB (3029 for a bad account).
// CreateDatabase makes a new file (Jet 4 for .mdb, ACE 12 for .accdb; 3204 when it exists)
// and answers it as a Database that takes new tables and rows; locale and options are
// those every file gets (General sort order, code page 1252, no encryption).

#include <cstdint>
#include <memory>
#include <string>

#include "platform/dao/daostub_context.hpp"
#include "platform/dao/daostub_database.hpp"
#include "platform/dao/daostub_errors.hpp"

class DAOWorkspace : public com_object {
public:
    DAOWorkspace(std::shared_ptr<daostub_context> new_context, std::u16string new_name,
                 std::u16string new_user_name)
        : context(std::move(new_context)), name(std::move(new_name)),
          user_name(std::move(new_user_name)) {}

    HRESULT get_Name(BSTR* text);
    HRESULT get_UserName(BSTR* text);

private:
    std::shared_ptr<daostub_context> context;
    std::u16string name;
    std::u16string user_name;
};

class DAODBEngine : public com_object {
public:
    // narrow_text: the generation that passes text as ANSI bytes.
    explicit DAODBEngine(bool narrow_text);

    HRESULT get_Errors(DAOErrors** errors);
    HRESULT put_SystemDB(BSTR path);
    HRESULT get_SystemDB(BSTR* path);
    HRESULT CreateWorkspace(BSTR name, BSTR user_name, BSTR password, VARIANT use_type,
                            DAOWorkspace** workspace);
    HRESULT OpenDatabase(BSTR name, VARIANT exclusive, VARIANT read_only, VARIANT connect,
                         DAODatabase** database);
    HRESULT CreateDatabase(BSTR name, BSTR locale, VARIANT option, DAODatabase** database);

private:
    std::shared_ptr<daostub_context> context;
};

// The database password of a connect text: what follows ";pwd=" (any case) to the end, so a
// password may hold ';' itself; empty when there is none.
std::u16string daostub_connect_password(std::u16string_view connect);
// Our own key ";codepage=N" before the password: the code page of Jet 3 text the caller
// chose (jet_code_page.hpp); 0 when absent. Only the text before ";pwd=" is searched, so a
// password never reads as a code page.
std::uint16_t daostub_connect_code_page(std::u16string_view connect);

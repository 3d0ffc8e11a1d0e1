// dao_bstr.hpp - text on its way to or from the DAO engine, in the form its generation
// expects: wide for keys 0 to 2; for key 3 the bytes of the narrow text carried in the
// string (narrow text is UTF-8 here, so no character is lost either way). Owns its BSTR.
// A secret (a password) is never written to the trace.
#pragma once

#include <cstdint>
#include <string>

#include "platform/oleaut/oleaut.hpp"

class dao_bstr {
public:
    dao_bstr();   // empty, to receive a string from the engine through put()
    explicit dao_bstr(const std::string& text);
    explicit dao_bstr(const std::u16string& text);
    dao_bstr(const dao_bstr&) = delete;
    dao_bstr& operator=(const dao_bstr&) = delete;
    dao_bstr(dao_bstr&& other) noexcept;
    ~dao_bstr();

    // A password or a connect text holding one: traced as "***".
    static dao_bstr secret(const std::u16string& text);

    operator BSTR() const;
    BSTR* put();
    // The text as a VARIANT argument (the engine does not free its arguments).
    VARIANT as_variant() const;

    std::string to_string() const;
    std::u16string to_wstring() const;

private:
    void assign(const std::u16string& text);

    BSTR text = nullptr;
    bool b_secret = false;
};

// A number as a VARIANT argument (collection positions, recordset types and options).
VARIANT dao_number_variant(std::int32_t number);

// Whether text goes to the engine as narrow bytes (engine key 3).
bool dao_is_narrow_engine();

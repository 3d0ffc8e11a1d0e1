#pragma once
// daostub_context.hpp - what every object of one DAO engine shares: the Errors collection,
// the text form of the engine's generation and the workgroup file. The narrow generation
// passes names and SQL as bytes of the narrow code page carried in a BSTR; that code page is
// UTF-8 here, so no name outside Windows-1252 is lost on the way. Values are always wide.
// A failing call records its error here and returns DAO's HRESULT for it
// (0x800A0000 | number), so callers read Errors as with DAO.

#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "platform/oleaut/oleaut.hpp"

// DAO error numbers the stand-in raises itself (the engine raises the file errors).
inline constexpr int DAO_ERR_OUT_OF_MEMORY = 7;
inline constexpr int DAO_ERR_UPDATE_WITHOUT_ADDNEW = 3020;
inline constexpr int DAO_ERR_NO_CURRENT_RECORD = 3021;   // "No current record."
inline constexpr int DAO_ERR_CORRUPT = 3049;
inline constexpr int DAO_ERR_INVALID_OPERATION = 3219;   // "Invalid operation."
inline constexpr int DAO_ERR_NOT_SUPPORTED = 3251;       // "Operation is not supported ..."
inline constexpr int DAO_ERR_ITEM_NOT_FOUND = 3265;      // "Item not found in this collection."
inline constexpr int DAO_ERR_INVALID_ARGUMENT = 3001;    // "Invalid argument."
inline constexpr int DAO_ERR_SYNTAX_SELECT = 3141;
inline constexpr int DAO_ERR_TYPE_CONVERSION = 3421;   // "Data type conversion error."

constexpr HRESULT dao_hresult(int number) {
    return HRESULT(0x800A0000u | (std::uint32_t(number) & 0xFFFFu));
}

struct daostub_error {
    int number = 0;
    std::string description;   // UTF-8
};

class daostub_context {
public:
    explicit daostub_context(bool narrow_text) : b_narrow_text(narrow_text) {}

    // Replaces Errors by one entry; answers the failure HRESULT.
    HRESULT fail(int number, std::string description);
    // 3251: what would write into the file (the stand-in only reads).
    HRESULT fail_not_supported() {
        return fail(DAO_ERR_NOT_SUPPORTED, "Operation is not supported for this type of object.");
    }
    // The same for an exception of the engine (its DAO number and text) or any other one.
    HRESULT fail(const std::exception& failure);
    // Runs `call`, turning whatever it throws into Errors and a failure HRESULT.
    template <class Call>
    HRESULT guard(Call&& call) {
        try {
            call();
            return S_OK;
        } catch (const std::exception& failure) {
            return fail(failure);
        }
    }

    const std::vector<daostub_error>& errors() const { return error_list; }

    // Text in the generation's form: a wide BSTR, or UTF-8 bytes in the narrow generation.
    std::u16string text_in(BSTR text) const;
    BSTR text_out(std::u16string_view text) const;
    bool is_narrow() const { return b_narrow_text; }

    std::u16string system_db;   // set through DBEngine.SystemDB

private:
    bool b_narrow_text = false;
    std::vector<daostub_error> error_list;
};

// An Item argument: a number (position) or a name (case-blind). Answers the position or
// fails with 3265.
HRESULT daostub_find_item(daostub_context& context, const VARIANT& index,
                          const std::vector<std::u16string>& names, std::size_t* position);

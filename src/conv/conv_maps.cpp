// conv_maps.cpp - the texts of the two message maps, exactly as users have always read them
// (misspellings included: support articles quote them). SUPPORT_MARK stands where a text names
// the support address; it is replaced by the toolkit's one address when the maps are built.
#include "conv/conv_maps.hpp"

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "tk/tk_mail.hpp"

namespace {

constexpr std::string_view SUPPORT_MARK = "@SUPPORT@";

constexpr const char* WORKGROUP_FILE_TEXT =
    "Invalid workgroup information file. Return to the previous\n"
    "wizard page and verify the correct path was given.";

constexpr const char* ERRORS_OCCURRED_TEXT =
    "Errors occurred. Contact to @SUPPORT@ for the solution.";

constexpr conv_message_entry ACCESS_MESSAGES[] = {
    {68591, "Not a valid MS Access database name. Use the following characters\n"
            "to compose new database name: alphanumerics (A-Z, a-z, 0-9),\n"
            "underscore characters (_) and spaces."},
    {68558, "Duplicate field values being used for an unique index were found.\n"
            "See 'Troubleshooting' article of the product documentation\n"
            "for solution."},
    {68565, "Not a valid account name or password has been specified\n"
            "in MS Access user-level security settings"},
    {68648, "Cannot extract relationships information. See 'Troubleshooting'\n"
            "article of the product documentation for solution."},
    {68709, WORKGROUP_FILE_TEXT},
    {68894, WORKGROUP_FILE_TEXT},
    {68957, "Data type conversion error. Please contact @SUPPORT@"
            "\nfor the solution."},
};

constexpr conv_message_entry MSSQL_MESSAGES[] = {
    {0x80E03, "Given values violate the database schema."},
    {0x80E07, "A literal value could not be converted to the correct type.Contact to @SUPPORT@"
              " for the solution."},
    {0x80E09, "You are not allowed to access MS SQL database. Ask your\n"
              "system administrator to grant you necessary privileges."},
    {0x80E11, "Invalid column ID. Contact to @SUPPORT@ for the solution."},
    {0x80E13, "Invalid value. Contact to @SUPPORT@ for the solution."},
    {0x80E17, "A data source with the specified name already exists."},
    {0x80E1D, "Requested conversion is not supported."},
    {0x80E21, ERRORS_OCCURRED_TEXT},
    {0x80E2F, "The specified record violates the integrity constraints.\n"
              "See 'Troubleshooting' article of the product documentation\n"
              "for solution."},
    {0x80E30, "The given type name was unrecognized."},
    {0x80E34, "The specified index already exists."},
    {0x80E35, "The specified index does not exist."},
    {0x80E37, "The specified table does not exist."},
    {0x80E3A, "A specified precision was invalid."},
    {0x80E3B, "A specified scale was invalid."},
    {0x80E3C, "Invalid table ID. Contact to @SUPPORT@ for the solution."},
    {0x80E3D, "A specified type was invalid."},
    {0x80E3E, "A column ID was occurred more than once in the specification."},
    {0x80E3F, "The specified table already exists. Try to connect as database owner\n"
              "using the appropriate checkbox on 'Connect to MS SQL server' wizard page."},
    {0x80E42, "The specified record number is invalid."},
    {0x80E4D, "Invalid user name or password."},
    {0x80E55, "The specified column did not exist."},
    {0x80E57, "A literal value overflowed the range of the type of the associated column.\n"
              "Contact to @SUPPORT@ for the solution."},
    {0x80E65, "The supplied columnID was invalid."},
    {0x80E72, "The index ID is invalid. Contact to @SUPPORT@"
              "\nfor the solution."},
    {0x80EC1, "One or more column types are incompatible; conversion errors will\n"
              "occur during copying."},
    {0x80EDA, ERRORS_OCCURRED_TEXT},
};

// The entries with the support address written in; the texts live as long as the program.
std::vector<conv_message_entry> with_support_address(std::span<const conv_message_entry> raw) {
    static std::deque<std::string> texts;
    std::vector<conv_message_entry> entries;
    for (const conv_message_entry& entry : raw) {
        std::string text = entry.text;
        std::size_t mark = text.find(SUPPORT_MARK);
        if (mark != std::string::npos) text.replace(mark, SUPPORT_MARK.size(), TK_SUPPORT_ADDRESS);
        texts.push_back(std::move(text));
        entries.push_back({entry.code, texts.back().c_str()});
    }
    return entries;
}

}   // namespace

std::span<const conv_message_entry> conv_access_messages() {
    static const std::vector<conv_message_entry> entries = with_support_address(ACCESS_MESSAGES);
    return entries;
}

std::span<const conv_message_entry> conv_mssql_messages() {
    static const std::vector<conv_message_entry> entries = with_support_address(MSSQL_MESSAGES);
    return entries;
}

// udb_rule.hpp - per-column conversion rules and their process-wide registry. A rule
// recognises a column or a value and decides, in place of the ordinary type mapping, how the
// destination column is declared and how a value is written. The destination asks the
// registry (udb_custom_conversion) and never knows which rule answered. Outside a run there is
// no registry: the static ask_ functions then answer false and change nothing.
// Invariant: handle2 with rules registered but none accepting the value is an assertion
// (udb_rule, fault code 88): callers ask is_acceptable2 first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tk/tk_singl.hpp"

class ole_variant;
struct t_ftd;

// The two members of a destination column declaration a rule may set; the SQL Server side
// copies them into its OLE DB column description.
struct udb_column_desc {
    std::uint16_t type = 0;          // OLE DB type (DBTYPE_)
    std::uint64_t column_size = 0;   // characters for text types, bytes otherwise
};

class udb_conversion_rule {
public:
    virtual bool is_acceptable2(const ole_variant& value) const = 0;
    virtual bool is_acceptable1(const t_ftd& column) const = 0;
    // The value as the text its destination column holds; the destination makes it a literal
    // (or a bulk value) itself, so no rule ever writes SQL.
    virtual void handle2(std::u16string& text, const ole_variant& value) const = 0;
    virtual udb_column_desc& handle1_1(const t_ftd& column, udb_column_desc& desc) const = 0;
    virtual ~udb_conversion_rule() = default;
};

// Access replication-ID columns and values: a VT_BLOB column marked reserved = 1, and a value
// the source read from such a column (VT_CLSID). Text is never searched for a GUID: a memo
// that mentions one is text. Declaring the destination column is left to each side.
class basic_guid_rule : public udb_conversion_rule {
public:
    bool is_acceptable2(const ole_variant& value) const override;
    bool is_acceptable1(const t_ftd& column) const override;
    void handle2(std::u16string& text, const ole_variant& value) const override;
    // The braced GUID (38 characters), or empty when the value is not a GUID.
    std::u16string handle(const ole_variant& value) const;
};

class udb_custom_conversion : public tk_singl<udb_custom_conversion> {
public:
    udb_custom_conversion();
    udb_custom_conversion(const udb_custom_conversion&) = delete;
    udb_custom_conversion& operator=(const udb_custom_conversion&) = delete;
    ~udb_custom_conversion();

    void add_rule(std::unique_ptr<udb_conversion_rule> rule);

    bool is_acceptable1(const t_ftd& column) const;
    bool is_acceptable2(const ole_variant& value) const;
    udb_column_desc& handle1_1(const t_ftd& column, udb_column_desc& desc) const;
    void handle2(std::u16string& text, const ole_variant& value) const;

    // The same questions asked of the current registry, answered as "no rule" when no run
    // has one.
    static bool ask_is_acceptable1(const t_ftd& column);
    static bool ask_is_acceptable2(const ole_variant& value);
    static udb_column_desc& ask_handle1_1(const t_ftd& column, udb_column_desc& desc);
    static void ask_handle2(std::u16string& text, const ole_variant& value);

private:
    std::vector<std::unique_ptr<udb_conversion_rule>> rules;
};

// udb_vali.hpp - safe-name rules. udb_validator holds a destination's rules (length limit,
// illegal characters, refused names, names already used) and turns a refused name into a
// safe, unused one; each destination derives its own rules (dao_vali, mss_vali). Generated
// names are not recorded here: the builder appends them to `used` and `restricted` itself.
// Invariants: (1) with max_length set, a safe name never exceeds it; (2) exhausting the
// 100000 numbered candidates raises tk_mail_assertion from udb_vali.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "udb/udb_nmap.hpp"

class udb_validator {
public:
    std::uint32_t max_length = 0;   // characters; 0 means no limit
    t_names_map names_map;          // renamings made with this validator
    std::vector<char16_t> illegal_chars;
    std::vector<std::u16string> restricted;   // reserved words and names already taken
    std::vector<std::u16string> used;         // names a generated name must not repeat

    explicit udb_validator(std::uint32_t max_length);
    virtual ~udb_validator() = default;

    virtual bool is_acceptable(const std::u16string& name) const;
    virtual bool is_duplicated(const std::u16string& name) const;
    virtual std::u16string get_safe_name(const std::u16string& name) const;

    void add_mapped_pair(const std::u16string& old_name, const std::u16string& new_name);
    void add_restricted(const std::u16string& name) { restricted.push_back(name); }
    void add_used(const std::u16string& name) { used.push_back(name); }
};

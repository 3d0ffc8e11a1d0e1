// ole_misc.hpp - ole_guid_extractor: the GUID inside the Access text of a replication ID,
// "{guid {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}}" (45 characters). get_safe_array_size is
// declared with ole_variant in ole_var.hpp.
#pragma once

#include <string>

class ole_guid_extractor {
public:
    explicit ole_guid_extractor(const std::u16string& text);
    explicit ole_guid_extractor(const std::string& text);   // UTF-8, widened first

    bool is_found() const { return b_found; }
    // The braced GUID (38 characters); empty when nothing was found.
    std::u16string get_guid() const;
    // The 32 hex digits without braces and hyphens; empty when nothing was found.
    std::u16string get_guid_digits() const;

private:
    void locate();

    std::u16string text;
    long position = -1;
    bool b_found = false;
};

#pragma once
// oledb_conn_string.hpp - OLE DB connection strings: "key=value;" pairs, keys compared
// without regard to case, values that hold ';', '=', quotes or edge spaces written between
// double quotes with an inner '"' doubled (single quotes are read the same way).

#include "platform/oledb/oledb_types.hpp"

#include <optional>
#include <string>
#include <utility>
#include <vector>

class oledb_conn_props {
public:
    // The value of a key (case-blind); nullopt when the string does not name it.
    std::optional<std::string> get(const std::string& key) const;
    // Replaces an existing key's value or appends the key.
    void set(const std::string& key, const std::string& value);
    const std::vector<std::pair<std::string, std::string>>& items() const { return pairs; }

private:
    std::vector<std::pair<std::string, std::string>> pairs;
};

// Parses a connection string. An unterminated quote or text after a closing quote fails with
// E_INVALIDARG and the thread's error record; the message never repeats the value (it may be
// a password).
oledb_hresult oledb_parse_conn_string(const std::string& text, oledb_conn_props& out);

// One value as it must be written after "key=": unchanged when plain, else double-quoted.
std::string oledb_quote_value(const std::string& value);

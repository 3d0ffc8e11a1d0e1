#pragma once
// jet_sql_like.hpp - Access's LIKE: * any run, ? one character, # one digit, [abc], [a-z] and
// [!abc] one character of (or not of) a set; everything compares case-blind. A [ without its ]
// is an invalid pattern, as Access reports it.

#include <optional>
#include <string_view>

// nullopt for an invalid pattern.
std::optional<bool> jet_sql_like(std::u16string_view value, std::u16string_view pattern);

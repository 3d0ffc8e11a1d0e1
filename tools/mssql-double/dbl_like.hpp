#pragma once
// dbl_like.hpp - LIKE patterns, case-blind as the double's collation: % any run, _ any one
// character, [abc] [a-f] one of a set, [^abc] one not in it. A bracket escapes what it
// holds, so [_], [%] and [[] match those characters themselves (LIKE, "Use wildcard
// characters as literals"). For the LIKE operator and the catalogue procedures alike;
// written apart from the engine's LIKE, as the double's other oracles are (README).

#include <string>

bool dbl_like(const std::u16string& text, const std::u16string& pattern);

#pragma once
// dbl_text.hpp - the text conversions the double needs: UTF-8 for names and messages,
// UTF-16 for the wire and nvarchar data, Windows-1252 for varchar data (the code page of
// the SQL_Latin1_General_CP1_CI_AS collation the double reports).

#include <string>

std::u16string dbl_utf16(const std::string& utf8);
// Unpaired surrogates become U+FFFD: they only reach UTF-8 in names and messages.
std::string dbl_utf8(const std::u16string& utf16);

// Characters outside Windows-1252 become '?', as SQL Server stores them in a varchar.
std::string dbl_to_cp1252(const std::u16string& text);
std::u16string dbl_from_cp1252(const std::string& bytes);

// Case-blind folding for the case-insensitive collation: ASCII and Latin-1 letters.
char16_t dbl_fold(char16_t c);
// The collation is width-insensitive too (no _WS in its name): a fullwidth form is the
// character it stands for, U+FF21 'Ａ' is 'A' and U+3000 a space.
char16_t dbl_fold_width(char16_t c);
// Case and width folded: how the collation compares names and text.
char16_t dbl_collate(char16_t c);
std::u16string dbl_fold(const std::u16string& text);
std::string dbl_fold_name(const std::string& utf8);
bool dbl_same_name(const std::string& a, const std::string& b);

#pragma once
// mss_name.hpp - SQL Server names in statements: a name is bracketed with every ']' doubled,
// so no name can close its brackets early; a full table name is "[owner].[table]".
// mss_split_tab_name reads such a name back, honouring doubled brackets.

#include <cstddef>
#include <string>

// The longest name SQL Server holds (sysname, nvarchar(128)), in UTF-16 code units.
inline constexpr std::size_t MSS_MAX_NAME_CHARS = 128;

std::u16string mss_bracket(const std::u16string& name);
// A name as a LIKE pattern that matches only itself: [, _ and % in brackets. sp_columns
// reads its table and owner as patterns.
std::u16string mss_like_escaped(const std::u16string& name);

// Splits "[table]" or "[owner].[table]" into its unbracketed parts. False for a name of
// fewer than 3 characters or one that is not in that form.
bool mss_split_tab_name(const std::u16string& name, std::u16string& table, std::u16string& owner);

// The owner new tables go under: dbo without a SQL Server login (Windows authentication),
// with as-dbo, or for the login sa (any case); otherwise the login name.
std::u16string mss_working_owner(const std::u16string& user, bool as_dbo);
// A full name already "[owner].[table]" stays; "[table]" or a plain name goes under `owner`.
std::u16string mss_full_table_name(const std::u16string& name, const std::u16string& owner);

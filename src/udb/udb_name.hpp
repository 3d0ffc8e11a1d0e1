// udb_name.hpp - how the neutral model compares names of tables, columns, indexes and
// constraints: case-blind through the CompareStringW stand-in (Unicode simple case folding
// over UTF-16, so "ÄRGER" equals "ärger" but "Straße" differs from "STRASSE"), or exactly
// (by code unit) where a database says its names are case-sensitive.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// SQL Server's longest identifier, in characters (error 103 past it).
inline constexpr std::size_t UDB_MAX_NAME_LENGTH = 128;

// A made name (PK_<table>, FK_<a>_<b>, <table>_<column>) that fits UDB_MAX_NAME_LENGTH: a
// longer one keeps its start and ends in "_" and 8 hex digits of a hash of the whole name,
// so two long names that share their first 119 characters stay apart.
std::u16string udb_fit_name(const std::u16string& name);

bool udb_same_name(std::u16string_view left, std::u16string_view right);
bool udb_same_name(std::u16string_view left, std::u16string_view right, bool b_case_sensitive);

// The first item whose `name` member equals the name case-blind, or null.
template <class Items>
auto udb_find_named(Items& items, std::u16string_view name) -> decltype(&*items.begin()) {
    for (auto& item : items) {
        if (udb_same_name(item.name, name)) return &item;
    }
    return nullptr;
}

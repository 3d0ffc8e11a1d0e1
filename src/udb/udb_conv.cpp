// udb_conv.cpp - the generic converter's setters, progress and profile part. Loading never
// clears first: maps keep the entries they had, and settings the profile leaves empty keep
// their values.
#include "udb/udb_conv.hpp"

#include "tk/tk_trace.hpp"
#include "udb/udb_prof.hpp"

namespace {

// "only definitions" and "skip indexes": true for any non-empty value but "0".
void load_generic_flag(const udb_profile& profile, const char16_t* key, bool& flag) {
    std::u16string value = profile.value(PROFILE_GENERIC, key);
    if (!value.empty()) flag = value != u"0";
}

const char16_t* flag_text(bool flag) { return flag ? u"1" : u"0"; }

}   // namespace

udb_converter::udb_converter() = default;

void udb_converter::set_mode(std::int32_t new_mode) {
    tk_trace::write(1, "udb_converter::set_mode(%d)", new_mode);
    mode = new_mode;
}

void udb_converter::set_selected_tables(std::vector<std::u16string> new_tables) {
    selected_tables = std::move(new_tables);
}

void udb_converter::add_table_entry(const std::u16string& name, const std::u16string& sql) {
    tables.emplace(name, sql);
}

void udb_converter::add_query_entry(const std::u16string& name, const std::u16string& sql) {
    queries.emplace(name, sql);
}

std::u16string udb_converter::get_current_table() const {
    std::scoped_lock lock(current_table_lock);
    return current_table;
}

void udb_converter::set_current_table(const std::u16string& name) {
    std::scoped_lock lock(current_table_lock);
    current_table = name;
}

bool udb_converter::load_profile(const udb_profile& profile) {
    tk_trace::write(1, u"udb_converter::load_profile");
    for (const auto& [name, sql] : profile.section(PROFILE_SELECTED_TABLES)) {
        tables.emplace(name, sql);
        if (sql.empty()) {
            tk_trace::write(2, u"Push back table '%s'", name);
            selected_tables.push_back(name);
        }
    }
    for (const auto& [name, sql] : profile.section(PROFILE_AVAILABLE_QUERIES)) {
        queries.emplace(name, sql);
    }
    std::u16string value = profile.value(PROFILE_GENERIC, u"src");
    if (!value.empty()) source = value;
    value = profile.value(PROFILE_GENERIC, u"dest");
    if (!value.empty()) destination = value;
    load_generic_flag(profile, u"only definitions", b_definitions_only);
    // Stored files hold one digit; the value is taken as that character's distance from '0',
    // unchecked, as it always was.
    value = profile.value(PROFILE_GENERIC, u"mode");
    if (value.size() == 1) mode = static_cast<std::int32_t>(value[0]) - u'0';
    load_generic_flag(profile, u"skip indexes", b_skip_indexes);
    return true;
}

bool udb_converter::store_profile(udb_profile& profile) const {
    tk_trace::write(2, "udb_converter::store_profile");
    for (const auto& [name, sql] : queries) {
        tk_trace::write(1, u"Available Query: (%s,%s)", name, sql);
        profile.set(PROFILE_AVAILABLE_QUERIES, name, sql);
    }
    for (const auto& [name, sql] : tables) {
        tk_trace::write(1, u"Selected Query: (%s,%s)", name, sql);
        profile.set(PROFILE_SELECTED_TABLES, name, sql);
    }
    // A selection the run has not yet put into the table map would otherwise be lost.
    for (const std::u16string& name : selected_tables) {
        profile.set(PROFILE_SELECTED_TABLES, name, u"");
    }
    profile.set(PROFILE_GENERIC, u"src", source);
    profile.set(PROFILE_GENERIC, u"dest", destination);
    profile.set(PROFILE_GENERIC, u"skip indexes", flag_text(b_skip_indexes));
    profile.set(PROFILE_GENERIC, u"only definitions", flag_text(b_definitions_only));
    profile.set(PROFILE_GENERIC, u"mode", std::u16string(1, static_cast<char16_t>(u'0' + mode)));
    return true;
}

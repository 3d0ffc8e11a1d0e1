// udb_prof.hpp - settings profiles: a small text file of "[section]" headers and key=value
// lines, read into ordered maps and written back in name order. Names compare exactly.
// Profiles hold passwords, so write() creates the file mode 0600.
#pragma once

#include <map>
#include <string>

inline constexpr const char16_t* PROFILE_AVAILABLE_QUERIES = u"Available Queries";
inline constexpr const char16_t* PROFILE_SELECTED_TABLES = u"Selected Tables";
inline constexpr const char16_t* PROFILE_GENERIC = u"Generic settings";
inline constexpr const char16_t* PROFILE_ACCESS = u"MS Access settings";
inline constexpr const char16_t* PROFILE_MSSQL = u"MS SQL Server settings";
// Our own section: settings the original profile format has no key for. Readers that do not
// know it skip it, and profiles without it read as before.
inline constexpr const char16_t* PROFILE_VANTREL = u"Vantrel settings";

class udb_profile {
public:
    using section_map = std::map<std::u16string, std::u16string>;

    udb_profile();   // holds the three empty sections every converter reads

    // Reads a profile. False when the file can't be opened or a key line stands before the
    // first section header; sections and keys read so far stay, and failure() says why.
    bool read(const std::string& path);
    const std::string& failure() const { return read_failure; }
    // Replaces the file at path (mode 0600, through a temporary file and a rename).
    bool write(const std::string& path) const;

    // Empty when absent.
    std::u16string value(const std::u16string& section, const std::u16string& key) const;
    // Adds the section when needed; an existing key keeps its first value.
    void set(const std::u16string& section, const std::u16string& key, const std::u16string& value);
    // Empty map when absent.
    const section_map& section(const std::u16string& name) const;
    bool has_value(const std::u16string& section, const std::u16string& key) const;

private:
    bool read_line(std::u16string line, std::u16string& current_section, bool& in_section);

    std::map<std::u16string, section_map> sections;
    std::string read_failure;
};

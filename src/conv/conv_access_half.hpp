// conv_access_half.hpp - acc_converter_impl, the Access half of the converter: the database
// password and the workgroup security settings, the trial open of the source, and the engine
// set-up that every use of the Access engine shares (generation 3, 0, 1; workgroup or anonymous).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "conv/conv_engines.hpp"

class udb_profile;

inline constexpr const char* DAO_MISSING_TEXT =
    "Failed to load Data Access Objects (DAO) support library.\n"
    "Microsoft Access installation is required to proceed with\n"
    "the application.\n";

class acc_converter_impl {
public:
    explicit acc_converter_impl(std::function<std::unique_ptr<conv_access_engine>()> factory);
    virtual ~acc_converter_impl() = default;

    // Stores each value with spaces (U+0020) removed at both ends.
    void store_ugl_settings(const std::u16string& workgroup_file, const std::u16string& user,
                            const std::u16string& password);
    void set_database_password(const std::u16string& password) { database_password = password; }
    // The code page of Access 97 text; 0 lets the engine choose. Profile key "code page" in
    // the section PROFILE_VANTREL.
    void set_code_page(std::uint16_t chosen) { code_page = chosen; }
    std::uint16_t get_code_page() const { return code_page; }

    // A trial open of the source through a temporary engine; throws what the engine throws.
    void check_acc_base(const std::u16string& source, const std::u16string& password);

    bool load_access_profile(const udb_profile& profile);
    bool store_access_profile(udb_profile& profile) const;

    const std::u16string& get_database_password() const { return database_password; }
    const std::u16string& get_workgroup_user() const { return workgroup_user; }
    const std::u16string& get_workgroup_password() const { return workgroup_password; }
    const std::u16string& get_workgroup_file() const { return workgroup_file; }

protected:
    // A new engine of the first generation that loads (level-1 DAO text when none does),
    // logged on to the workgroup or set up anonymously.
    std::unique_ptr<conv_access_engine> start_access_engine(const char* anonymous_trace);

    std::u16string database_password;
    std::u16string workgroup_user;
    std::u16string workgroup_password;
    std::u16string workgroup_file;
    std::uint16_t code_page = 0;

private:
    void load_code_page(const udb_profile& profile);

    std::function<std::unique_ptr<conv_access_engine>()> make_engine;
};

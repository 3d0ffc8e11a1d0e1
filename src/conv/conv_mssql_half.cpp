// conv_mssql_half.cpp - the SQL Server half of the converter.
#include "conv/conv_mssql_half.hpp"

#include <charconv>
#include <cstdlib>
#include <cstring>

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"
#include "udb/udb_prof.hpp"

namespace {

void load_if_set(const udb_profile& profile, const char16_t* key, std::u16string& field) {
    std::u16string value = profile.value(PROFILE_MSSQL, key);
    if (!value.empty()) field = value;
}

void store_if_set(udb_profile& profile, const char16_t* key, const std::u16string& value) {
    if (!value.empty()) profile.set(PROFILE_MSSQL, key, value);
}

}   // namespace

mssql_converter_impl::mssql_converter_impl(std::unique_ptr<conv_mssql_engine> mssql)
    : engine(std::move(mssql)) {}

bool mssql_converter_impl::is_fast_load_wanted() {
    const char* setting = std::getenv(FAST_LOAD_ENV);
    return setting == nullptr || std::strcmp(setting, "0") != 0;
}

bool mssql_converter_impl::connect_mssql_server() {
    tk_trace::write(1, "mssql_converter_impl::connect_mssql_server");
    bool fast_load = is_fast_load_wanted();
    if (!fast_load) tk_trace::write(2, "fast load switched off by %s", FAST_LOAD_ENV);
    apply_read_timeout();
    if (b_windows_authentication) return engine->connect(host, fast_load);
    return engine->connect(host, user, password, fast_load);
}

void mssql_converter_impl::apply_read_timeout() {
    const char* from_environment = std::getenv(READ_TIMEOUT_ENV);
    const std::string setting = from_environment != nullptr ? from_environment
                                                            : tk_utf16_to_utf8(read_timeout);
    if (setting.empty()) return;
    int seconds = -1;
    const auto parsed = std::from_chars(setting.data(), setting.data() + setting.size(), seconds);
    if (parsed.ec != std::errc() || parsed.ptr != setting.data() + setting.size() || seconds < 0) {
        throw tk_exception("The read timeout '" + setting + "' is not a number of seconds.",
                           ERROR_LEVEL_FATAL);
    }
    tk_trace::write(2, "read timeout: %d seconds", seconds);
    engine->set_read_timeout(seconds);
}

void mssql_converter_impl::set_as_dbo(bool flag) {
    tk_trace::write(1, "mss_engine::set_as_dbo(%d)", flag ? 1 : 0);
    engine->set_as_dbo(flag);
}

bool mssql_converter_impl::load_mssql_profile(const udb_profile& profile) {
    load_if_set(profile, u"server", host);
    load_if_set(profile, u"login", user);
    load_if_set(profile, u"password", password);
    load_if_set(profile, u"read timeout", read_timeout);
    // Unlike the generic flags, these are true only for "1".
    std::u16string value = profile.value(PROFILE_MSSQL, u"windows authentication");
    if (!value.empty()) b_windows_authentication = value == u"1";
    value = profile.value(PROFILE_MSSQL, u"connect as DBO");
    if (!value.empty()) set_as_dbo(value == u"1");
    return true;
}

bool mssql_converter_impl::store_mssql_profile(udb_profile& profile) const {
    store_if_set(profile, u"server", host);
    store_if_set(profile, u"login", user);
    store_if_set(profile, u"password", password);
    store_if_set(profile, u"read timeout", read_timeout);
    profile.set(PROFILE_MSSQL, u"windows authentication", b_windows_authentication ? u"1" : u"0");
    profile.set(PROFILE_MSSQL, u"connect as DBO", engine->is_as_dbo() ? u"1" : u"0");
    return true;
}

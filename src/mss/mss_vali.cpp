// mss_vali.cpp - acceptable and free SQL Server table names.

#include "mss/mss_vali.hpp"

#include "platform/winbase/win_letter.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "udb/udb_name.hpp"

#include <array>

namespace {

constexpr const char* MSS_VALI_SOURCE = "mss_vali";
constexpr int FAULT_SAFE_NAME_OF_EMPTY_NAME = 31;
constexpr std::array<char16_t, 6> PREFIX_CYCLE{u'_', u'1', u'_', u'2', u'_', u'3'};

}   // namespace

mss_validator::mss_validator() : udb_validator(0) {}

bool mss_validator::is_acceptable(const std::u16string& name) const {
    tk_trace::write(1, u"mss_validator::is_acceptable(%s)", name);
    if (name.empty()) throw tk_mail_assertion(MSS_VALI_SOURCE, FAULT_SAFE_NAME_OF_EMPTY_NAME);
    // A letter by Unicode, as on Windows: Πλήθος and Größe keep their names.
    return name.front() == u'_' || win_iswalpha(win_first_code_point(name));
}

std::u16string mss_validator::get_safe_name(const std::u16string& name) const {
    tk_trace::write(1, u"mss_validator::get_safe_name(%s)", name);
    std::u16string prefixed = name;
    std::u16string candidate = udb_fit_name(prefixed);
    for (std::size_t round = 0; is_duplicated(candidate); ++round) {
        tk_trace::write(2, "Duplicate table name was found");
        prefixed.insert(prefixed.begin(), PREFIX_CYCLE[round % PREFIX_CYCLE.size()]);
        candidate = udb_fit_name(prefixed);
    }
    return candidate;
}

mss_tn_validator::mss_tn_validator(const std::vector<std::u16string>& first_names,
                                   const std::vector<std::u16string>& second_names) {
    for (const std::u16string& taken : first_names) add_used(taken);
    for (const std::u16string& taken : second_names) add_used(taken);
}

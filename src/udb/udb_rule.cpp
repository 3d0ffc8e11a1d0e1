// udb_rule.cpp - the rule registry and the GUID rule shared by the destinations. The registry
// asks its rules in registration order and the first that accepts answers; it owns them and
// deletes them with itself at the end of the run.
#include "udb/udb_rule.hpp"

#include "ole/ole_var.hpp"
#include "platform/oleaut/oleaut_types.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "udb/udb_sche.hpp"

namespace {

// Users quote this location when a value reaches handle2 that no rule accepts.
constexpr int FAULT_RULE_NONE_ACCEPTS_VALUE = 88;

}   // namespace

bool basic_guid_rule::is_acceptable1(const t_ftd& column) const {
    tk_trace::write(1, "basic_guid_rule::is_acceptable1");
    return column.vartype == VT_BLOB && column.reserved == 1;
}

bool basic_guid_rule::is_acceptable2(const ole_variant& value) const {
    tk_trace::write(1, "basic_guid_rule::is_acceptable2");
    if (value.type() != VT_CLSID) return false;
    tk_trace::write(1, "FIELD IS A GUID");
    return true;
}

void basic_guid_rule::handle2(std::u16string& text, const ole_variant& value) const {
    text = handle(value);
}

std::u16string basic_guid_rule::handle(const ole_variant& value) const {
    tk_trace::write(1, "basic_guid_rule::handle");
    if (value.type() == VT_CLSID) return guid_to_wstring(value.guid_value);
    tk_trace::write(1, "FIELD IS NOT A GUID!");
    return {};
}

udb_custom_conversion::udb_custom_conversion() {
    tk_trace::write(2, "udb_custom_conversion::ctor");
}

udb_custom_conversion::~udb_custom_conversion() {
    tk_trace::write(2, "udb_custom_conversion::dtor");
}

void udb_custom_conversion::add_rule(std::unique_ptr<udb_conversion_rule> rule) {
    TK_ASSERT(rule != nullptr);
    rules.push_back(std::move(rule));
}

bool udb_custom_conversion::is_acceptable1(const t_ftd& column) const {
    tk_trace::write(1, "udb_custom_conversion::is_acceptable1");
    for (const auto& rule : rules) {
        if (rule->is_acceptable1(column)) return true;
    }
    return false;
}

bool udb_custom_conversion::is_acceptable2(const ole_variant& value) const {
    tk_trace::write(1, "udb_custom_conversion::is_acceptable2");
    for (const auto& rule : rules) {
        if (rule->is_acceptable2(value)) return true;
    }
    return false;
}

// Callers ask is_acceptable1 first; without a rule for the column the description is kept.
udb_column_desc& udb_custom_conversion::handle1_1(const t_ftd& column,
                                                  udb_column_desc& desc) const {
    tk_trace::write(1, "udb_custom_conversion::handle1_1");
    for (const auto& rule : rules) {
        if (rule->is_acceptable1(column)) return rule->handle1_1(column, desc);
    }
    return desc;
}

void udb_custom_conversion::handle2(std::u16string& text, const ole_variant& value) const {
    tk_trace::write(1, "udb_custom_conversion::handle2");
    if (rules.empty()) {
        text.clear();
        return;
    }
    for (const auto& rule : rules) {
        if (!rule->is_acceptable2(value)) continue;
        rule->handle2(text, value);
        return;
    }
    throw tk_mail_assertion(tk_source_name(__FILE__), FAULT_RULE_NONE_ACCEPTS_VALUE);
}

bool udb_custom_conversion::ask_is_acceptable1(const t_ftd& column) {
    return is_registered() && instance().is_acceptable1(column);
}

bool udb_custom_conversion::ask_is_acceptable2(const ole_variant& value) {
    return is_registered() && instance().is_acceptable2(value);
}

udb_column_desc& udb_custom_conversion::ask_handle1_1(const t_ftd& column, udb_column_desc& desc) {
    if (!is_registered()) return desc;
    return instance().handle1_1(column, desc);
}

void udb_custom_conversion::ask_handle2(std::u16string& text, const ole_variant& value) {
    if (!is_registered()) {
        text.clear();
        return;
    }
    instance().handle2(text, value);
}

#pragma once
// mss_vali.hpp - SQL Server name rules: a name must start with a letter or '_'; a taken table
// name gets prefixes from the cycle _, 1, _, 2, _, 3 until it is free (T -> _T -> 1_T ->
// _1_T -> 2_1_T ...). mss_tn_validator takes two lists of taken names.

#include "udb/udb_vali.hpp"

#include <string>
#include <vector>

class mss_validator : public udb_validator {
public:
    mss_validator();
    bool is_acceptable(const std::u16string& name) const override;
    std::u16string get_safe_name(const std::u16string& name) const override;
};

class mss_tn_validator : public mss_validator {
public:
    mss_tn_validator(const std::vector<std::u16string>& first_names,
                     const std::vector<std::u16string>& second_names);
};

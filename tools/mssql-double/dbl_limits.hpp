#pragma once
// dbl_limits.hpp - SQL Server's size limits on tables, keys and names, as its documented
// maximum capacities give them: key bytes (1944, 1945, 1946), key columns (1904), columns per
// table (1702), the fixed part of a row (1701) and identifiers (103). The key limits follow
// the release the double claims (dbl_claim_release).

#include "dbl_catalog.hpp"
#include "dbl_database.hpp"

#include <string>
#include <vector>

class dbl_executor;

// The major version of the release the double claims (11 for 2012, 15 for 2019): the limits
// of nonclustered keys grew with 2016 (13). One release a process.
void dbl_claim_release(int major_version);
// Bytes of an index key: 900 for a clustered index, 1,700 for a nonclustered one (900 before
// 2016).
int dbl_max_key_bytes(bool b_clustered);
// Key columns: 16 for a clustered index, 32 for a nonclustered one (16 before 2016).
int dbl_max_key_columns(bool b_clustered);

// A key about to be made: 1904 for too many columns, 1944 when its fixed-length columns alone
// pass the byte limit (with 1750 when `b_constraint`); warns 1945 when only values longer than
// the limit would fail.
void dbl_check_key_size(dbl_executor& ex, const dbl_table& table, const dbl_key& key,
                        bool b_constraint);
// The keys of `table` whose declared length passes the limit: only their rows need measuring.
std::vector<const dbl_key*> dbl_keys_over_limit(const dbl_table& table);
// 1946 when the row's entry in `key` is longer than the limit.
void dbl_check_key_entry(const dbl_table& table, const dbl_key& key, const dbl_row& row);

// CREATE TABLE: 1702 past 1,024 columns, 1701 when the fixed-length columns and the row's
// overhead pass 8,060 bytes.
void dbl_check_table_size(const dbl_table& table);

// 103 for a name (plain or delimited) longer than 128 characters, cut to them in the message.
void dbl_check_identifier(const std::u16string& name, int line);

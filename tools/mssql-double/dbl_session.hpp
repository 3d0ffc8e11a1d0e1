#pragma once
// dbl_session.hpp - one connection's state: who, where, and the SET options in force.

#include "dbl_set_options.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct dbl_bulk_request {
    std::string database;
    std::int64_t object_id = 0;
    std::vector<int> columns;   // table ordinals in the order the client sends them
    bool b_keep_identity = false;
    bool b_keep_nulls = false;
    bool b_check_constraints = false;
};

struct dbl_identity_insert {
    std::string database;
    std::int64_t object_id = 0;
    std::string display;   // db.dbo.t, for 8107
};

struct dbl_session {
    int spid = 0;
    std::string user;
    std::string database = "master";
    std::string app;
    dbl_set_options set;   // from dbl_login_options at login, then SET statements
    bool b_nocount = false;
    bool b_fmtonly = false;
    std::int64_t textsize = 0;   // 0: no limit set
    std::optional<dbl_identity_insert> identity_insert;
    std::optional<std::int64_t> last_identity;
    std::int64_t last_rowcount = 0;
    std::optional<dbl_bulk_request> pending_bulk;
    long bulk_rows_received = 0;
    long batches_received = 0;
};

// dbl_functions.cpp - the built-in functions and @@variables the double answers:
// DB_NAME, DB_ID, SCHEMA_NAME, USER_NAME, SUSER_SNAME, IS_SRVROLEMEMBER, OBJECT_ID,
// GETDATE, SYSDATETIME, NEWID, LEN, DATALENGTH, ISNULL, COALESCE, SCOPE_IDENTITY, CONVERT,
// SERVERPROPERTY and
// @@VERSION, @@SPID, @@SERVERNAME, @@TRANCOUNT, @@ROWCOUNT, @@IDENTITY, @@LANGUAGE, @@TEXTSIZE.
#include "dbl_eval.hpp"

#include "dbl_convert.hpp"
#include "dbl_date.hpp"
#include "dbl_error.hpp"
#include "dbl_executor.hpp"
#include "dbl_lexer.hpp"
#include "dbl_text.hpp"

#include <chrono>
#include <ctime>
#include <random>

namespace {

dbl_type sysname() { return dbl_make_type(dbl_kind::NVARCHAR, 128); }

dbl_typed text_result(const std::string& text, dbl_type type = sysname()) {
    return dbl_typed{type, dbl_wide_value(dbl_utf16(text))};
}

dbl_typed int_result(std::int64_t number, dbl_kind kind = dbl_kind::INT) {
    return dbl_typed{dbl_make_type(kind), dbl_int(number)};
}

dbl_typed null_of(dbl_type type) { return dbl_typed{type, dbl_null()}; }

std::string text_argument(const dbl_expr& e, const dbl_eval_context& context, std::size_t at) {
    dbl_typed value = dbl_eval(*e.args.at(at), context);
    return value.value.b_null ? std::string() : dbl_utf8(dbl_value_text(value));
}

dbl_civil now_civil() {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    dbl_civil civil;
    civil.year = local.tm_year + 1900;
    civil.month = local.tm_mon + 1;
    civil.day = local.tm_mday;
    civil.hour = local.tm_hour;
    civil.minute = local.tm_min;
    civil.second = local.tm_sec;
    auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count()
        % 1000000;
    civil.fraction_hns = micros * 10;
    return civil;
}

dbl_typed new_guid() {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    std::string bytes(16, '\0');
    for (char& byte : bytes) byte = char(random() & 0xFF);
    bytes[7] = char((bytes[7] & 0x0F) | 0x40);   // version 4 (stored little-endian)
    bytes[8] = char((bytes[8] & 0x3F) | 0x80);
    return dbl_typed{dbl_make_type(dbl_kind::GUID), dbl_bytes_value(bytes)};
}

dbl_typed object_id(dbl_executor& ex, const std::string& written) {
    std::vector<dbl_token> tokens = dbl_lex(dbl_utf16(written), false);
    dbl_name name;
    for (const dbl_token& token : tokens)
        if (token.kind == dbl_token_kind::WORD || token.kind == dbl_token_kind::QUOTED_NAME)
            name.parts.push_back(token.utf8);
    if (name.parts.empty()) return null_of(dbl_make_type(dbl_kind::INT));
    dbl_table_ref ref = ex.resolve_table(name, false);
    if (!ref.table) return null_of(dbl_make_type(dbl_kind::INT));
    return int_result(ref.table->object_id);
}

dbl_typed variable(const dbl_expr& e, dbl_executor& ex) {
    const std::string& name = e.name;
    if (name == "@@version")
        return text_result(ex.server.version_string(), dbl_make_type(dbl_kind::NVARCHAR, 300));
    if (name == "@@spid") return int_result(ex.session.spid, dbl_kind::SMALLINT);
    if (name == "@@servername") return text_result("mssql-double");
    if (name == "@@trancount") return int_result(0);
    if (name == "@@rowcount") return int_result(ex.session.last_rowcount);
    if (name == "@@language") return text_result("us_english");
    if (name == "@@textsize")
        return int_result(ex.session.textsize ? ex.session.textsize : 2147483647);
    if (name == "@@identity") {
        dbl_type type = dbl_make_type(dbl_kind::NUMERIC, 0, 38, 0);
        if (!ex.session.last_identity) return null_of(type);
        dbl_value value = dbl_int(0);
        value.decimal = *ex.session.last_identity;
        return dbl_typed{type, value};
    }
    throw dbl_sql_error(137, 2, 15, "Must declare the scalar variable \"" + e.written + "\".",
                        dbl_scope::BATCH);
}

std::size_t arity_max(const std::string& name) {
    if (name == "db_name" || name == "db_id") return 1;
    if (name == "isnull") return 2;
    if (name == "coalesce") return 64;
    if (name == "is_srvrolemember" || name == "object_id" || name == "len" || name == "datalength"
        || name == "serverproperty")
        return 1;
    return 0;
}

void check_arguments(const dbl_expr& e) {
    std::size_t min = (e.name == "is_srvrolemember" || e.name == "object_id" || e.name == "len"
                       || e.name == "datalength" || e.name == "serverproperty")
                          ? 1
                      : e.name == "isnull"   ? 2
                      : e.name == "coalesce" ? 2
                                             : 0;
    if (e.args.size() < min || e.args.size() > arity_max(e.name))
        throw dbl_sql_error(174, 1, 15,
                            "The " + e.name + " function requires " + std::to_string(min)
                                + " argument(s).",
                            dbl_scope::BATCH);
}

// SERVERPROPERTY: what a client reads to learn the release. SQL Server answers sql_variant,
// the double nvarchar(128); a property it does not know is NULL, as SQL Server answers a
// name that isn't valid. ProductMajorVersion and ProductMinorVersion came with 2012 (11.x).
dbl_typed server_property(const dbl_executor& ex, const std::string& property) {
    const dbl_program_version version = ex.server.program_version();
    const std::string name = dbl_fold_name(property);
    if (name == "productversion") return text_result(version.text);
    if (version.major >= 11 && name == "productmajorversion")
        return text_result(std::to_string(version.major));
    if (version.major >= 11 && name == "productminorversion")
        return text_result(std::to_string(version.minor));
    return null_of(sysname());
}

std::int64_t floor_mod(std::int64_t value, std::int64_t divisor) {
    std::int64_t rest = value % divisor;
    return rest < 0 ? rest + divisor : rest;
}

// CONVERT to date or time: this double has no such column types, so the result is the
// datetime SQL Server stores when either goes into a datetime column (midnight of the day, or
// the time on 1900-01-01). Only dates, times and text convert; anything else is 529.
dbl_typed convert_date_part(const dbl_expr& e, const dbl_typed& value) {
    const dbl_type datetime = dbl_make_type(dbl_kind::DATETIME);
    const bool convertible = value.type.kind == dbl_kind::DATETIME
                             || value.type.kind == dbl_kind::DATETIME2 || value.type.is_text();
    if (!convertible)
        throw dbl_sql_error(529, 2, 16,
                            "Explicit conversion from data type " + value.type.base_name() + " to "
                                + e.date_part + " is not allowed.");
    if (value.value.b_null) return dbl_typed{datetime, dbl_null()};
    const std::int64_t ticks = dbl_convert(value, datetime, dbl_target{}).integer;
    const std::int64_t time_of_day = floor_mod(ticks, DBL_TICKS_PER_DAY);
    return dbl_typed{datetime, dbl_int(e.date_part == "date" ? ticks - time_of_day : time_of_day)};
}

dbl_typed convert(const dbl_expr& e, const dbl_eval_context& context) {
    const dbl_typed value = dbl_eval(*e.args.at(0), context);
    if (!e.date_part.empty()) return convert_date_part(e, value);
    return dbl_typed{e.literal.type, dbl_convert(value, e.literal.type, dbl_target{})};
}

}   // namespace

dbl_typed dbl_eval_function(const dbl_expr& e, const dbl_eval_context& context) {
    dbl_executor& ex = *context.ex;
    if (e.kind == dbl_expr_kind::VARIABLE) return variable(e, ex);
    const std::string& name = e.name;
    if (name == "convert") return convert(e, context);
    static const char* const known[] = {"db_name",       "db_id",       "schema_name",
                                        "user_name",     "suser_sname", "is_srvrolemember",
                                        "object_id",     "getdate",     "sysdatetime",
                                        "newid",         "len",         "datalength",
                                        "isnull",        "coalesce",    "scope_identity",
                                        "serverproperty"};
    bool is_known = false;
    for (const char* candidate : known) is_known = is_known || name == candidate;
    if (!is_known) throw dbl_err::unknown_function(name);
    check_arguments(e);
    if (name == "db_name") {
        if (e.args.empty()) return text_result(ex.session.database);
        dbl_typed id = dbl_eval(*e.args[0], context);
        for (dbl_database* database : ex.server.databases())
            if (!id.value.b_null && database->id() == id.value.integer)
                return text_result(database->name());
        return null_of(sysname());
    }
    if (name == "db_id") {
        std::string db = e.args.empty() ? ex.session.database : text_argument(e, context, 0);
        dbl_database* database = ex.server.find_database(db);
        if (!database) return null_of(dbl_make_type(dbl_kind::INT));
        return int_result(database->id());
    }
    if (name == "schema_name" || name == "user_name") return text_result("dbo");
    if (name == "suser_sname") return text_result(ex.session.user);
    if (name == "is_srvrolemember") {
        std::string role = dbl_fold_name(text_argument(e, context, 0));
        static const char* const roles[] = {"sysadmin",     "serveradmin", "securityadmin",
                                            "processadmin", "setupadmin",  "bulkadmin",
                                            "diskadmin",    "dbcreator",   "public"};
        for (const char* candidate : roles)
            if (role == candidate) return int_result(1);   // every login is sysadmin here
        return null_of(dbl_make_type(dbl_kind::INT));
    }
    if (name == "object_id") return object_id(ex, text_argument(e, context, 0));
    if (name == "serverproperty") return server_property(ex, text_argument(e, context, 0));
    if (name == "getdate") {
        auto ticks = dbl_datetime_ticks(now_civil());
        return dbl_typed{dbl_make_type(dbl_kind::DATETIME), dbl_int(ticks.value_or(0))};
    }
    if (name == "sysdatetime")
        return dbl_typed{dbl_make_type(dbl_kind::DATETIME2, 0, 0, 7),
                         dbl_int(dbl_datetime2_ticks(now_civil(), 7))};
    if (name == "newid") return new_guid();
    if (name == "scope_identity") {
        dbl_expr identity;
        identity.kind = dbl_expr_kind::VARIABLE;
        identity.name = "@@identity";
        return variable(identity, ex);
    }
    if (name == "isnull" || name == "coalesce") {
        dbl_typed first = dbl_eval(*e.args[0], context);
        for (std::size_t i = 1; i < e.args.size() && first.value.b_null; ++i) {
            dbl_typed next = dbl_eval(*e.args[i], context);
            if (!next.value.b_null) first.value = dbl_convert(next, first.type, dbl_target{});
        }
        return first;
    }
    dbl_typed value = dbl_eval(*e.args[0], context);
    if (value.value.b_null) return null_of(dbl_make_type(dbl_kind::INT));
    if (name == "datalength") {
        std::size_t size = value.type.is_wide_text() ? value.value.wide.size() * 2
                           : value.type.is_text() || value.type.is_binary()
                               ? value.value.bytes.size()
                               : std::size_t(value.type.max_bytes());
        return int_result(std::int64_t(size));
    }
    std::u16string text = dbl_value_text(value);
    while (!text.empty() && text.back() == u' ') text.pop_back();
    return int_result(std::int64_t(text.size()));
}

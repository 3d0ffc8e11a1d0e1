// dbl_sqlite.cpp - SQLite statements and value storage.
#include "dbl_sqlite.hpp"

#include "dbl_number.hpp"
#include "dbl_text.hpp"

#include <cstdlib>

namespace {

std::string wide_bytes(const std::u16string& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(char(c & 0xFF));
        bytes.push_back(char(c >> 8));
    }
    return bytes;
}

std::u16string wide_from_bytes(const unsigned char* data, int size) {
    std::u16string text(std::size_t(size / 2), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
    return text;
}

__int128 parse_unscaled(const std::string& text) {
    __int128 value = 0;
    bool negative = false;
    for (char c : text) {
        if (c == '-') negative = true;
        else if (c >= '0' && c <= '9') value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

void key_function(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_text(context, "\x01NULL", -1, SQLITE_STATIC);
        return;
    }
    int key_class = sqlite3_value_int(argv[1]);
    if (key_class == 0) {
        sqlite3_result_value(context, argv[0]);
        return;
    }
    auto data = static_cast<const unsigned char*>(sqlite3_value_blob(argv[0]));
    int size = sqlite3_value_bytes(argv[0]);
    std::string folded;
    if (key_class == 1) {
        folded.assign(reinterpret_cast<const char*>(data), std::size_t(size));
        for (char& c : folded) c = char(dbl_fold(char16_t((unsigned char)c)));
        while (!folded.empty() && folded.back() == ' ') folded.pop_back();
    } else {
        std::u16string text = dbl_fold(wide_from_bytes(data, size));
        while (!text.empty() && text.back() == u' ') text.pop_back();
        folded = wide_bytes(text);
    }
    sqlite3_result_blob(context, folded.data(), int(folded.size()), SQLITE_TRANSIENT);
}

}   // namespace

dbl_stmt::dbl_stmt(sqlite3* new_db, const std::string& sql) : db(new_db) {
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw dbl_storage_error(sqlite3_errmsg(db), sqlite3_errcode(db));
}

dbl_stmt::~dbl_stmt() { sqlite3_finalize(stmt); }

bool dbl_stmt::step() {
    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    std::string message = sqlite3_errmsg(db);
    int code = sqlite3_extended_errcode(db);
    sqlite3_reset(stmt);
    throw dbl_storage_error(message, code);
}

void dbl_stmt::reset() { sqlite3_reset(stmt); }

void dbl_stmt::bind_int(int index, std::int64_t number) { sqlite3_bind_int64(stmt, index, number); }

void dbl_stmt::bind_text(int index, const std::string& text) {
    sqlite3_bind_text(stmt, index, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
}

void dbl_stmt::bind_value(int index, const dbl_type& type, const dbl_value& value) {
    if (value.b_null) {
        sqlite3_bind_null(stmt, index);
    } else if (type.kind == dbl_kind::DECIMAL || type.kind == dbl_kind::NUMERIC) {
        bind_text(index, dbl_format_decimal(value.decimal, type.scale));
    } else if (type.kind == dbl_kind::REAL || type.kind == dbl_kind::FLOAT) {
        sqlite3_bind_double(stmt, index, value.floating);
    } else if (type.is_wide_text()) {
        std::string bytes = wide_bytes(value.wide);
        sqlite3_bind_blob(stmt, index, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
    } else if (type.is_narrow_text() || type.is_binary() || type.kind == dbl_kind::GUID) {
        sqlite3_bind_blob(stmt, index, value.bytes.data(), int(value.bytes.size()),
                          SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_int64(stmt, index, value.integer);
    }
}

std::int64_t dbl_stmt::column_int(int index) const { return sqlite3_column_int64(stmt, index); }

std::string dbl_stmt::column_text(int index) const {
    auto text = sqlite3_column_text(stmt, index);
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

bool dbl_stmt::column_null(int index) const {
    return sqlite3_column_type(stmt, index) == SQLITE_NULL;
}

dbl_value dbl_stmt::column_value(int index, const dbl_type& type) const {
    dbl_value value;
    if (column_null(index)) return value;
    value.b_null = false;
    if (type.kind == dbl_kind::DECIMAL || type.kind == dbl_kind::NUMERIC) {
        value.decimal = parse_unscaled(column_text(index));
    } else if (type.kind == dbl_kind::REAL || type.kind == dbl_kind::FLOAT) {
        value.floating = sqlite3_column_double(stmt, index);
    } else if (type.is_wide_text()) {
        auto data = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, index));
        value.wide = wide_from_bytes(data, sqlite3_column_bytes(stmt, index));
    } else if (type.is_narrow_text() || type.is_binary() || type.kind == dbl_kind::GUID) {
        auto data = static_cast<const char*>(sqlite3_column_blob(stmt, index));
        int size = sqlite3_column_bytes(stmt, index);
        if (data) value.bytes.assign(data, std::size_t(size));
    } else {
        value.integer = sqlite3_column_int64(stmt, index);
    }
    return value;
}

void dbl_exec_sql(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : "storage failure";
        sqlite3_free(message);
        throw dbl_storage_error(text, sqlite3_extended_errcode(db));
    }
}

void dbl_register_functions(sqlite3* db) {
    sqlite3_create_function(db, "dbl_key", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            key_function, nullptr, nullptr);
}

int dbl_key_class(const dbl_type& type) {
    if (type.is_narrow_text()) return 1;
    if (type.is_wide_text()) return 2;
    return 0;
}

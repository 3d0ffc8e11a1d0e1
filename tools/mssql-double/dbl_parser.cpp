// dbl_parser.cpp - recursive-descent parser for the accepted T-SQL statements. Expressions
// and literals live in dbl_parse_expr.cpp; this file holds statements.
#include "dbl_parser.hpp"

#include "dbl_error.hpp"
#include "dbl_parse_state.hpp"
#include "dbl_text.hpp"

namespace {

const char* const OPTION_WORDS[] = {"ANSI_NULLS",
                                    "ANSI_WARNINGS",
                                    "ANSI_PADDING",
                                    "ANSI_NULL_DFLT_ON",
                                    "ANSI_NULL_DFLT_OFF",
                                    "ANSI_DEFAULTS",
                                    "CONCAT_NULL_YIELDS_NULL",
                                    "QUOTED_IDENTIFIER",
                                    "NOCOUNT",
                                    "FMTONLY",
                                    "ARITHABORT",
                                    "ARITHIGNORE",
                                    "XACT_ABORT",
                                    "IMPLICIT_TRANSACTIONS",
                                    "CURSOR_CLOSE_ON_COMMIT",
                                    "NUMERIC_ROUNDABORT",
                                    "NOEXEC",
                                    "PARSEONLY",
                                    "STATISTICS"};
// SQL Server's limit on the rows of one VALUES list (a table of literals has no other).
constexpr std::size_t MAX_ROW_VALUES = 1000;
const char* const VALUED_OPTIONS[] = {"TEXTSIZE", "LOCK_TIMEOUT", "DATEFIRST",        "DATEFORMAT",
                                      "LANGUAGE", "ROWCOUNT",     "DEADLOCK_PRIORITY"};

class statement_parser : public dbl_parse_state {
public:
    using dbl_parse_state::dbl_parse_state;

    std::vector<dbl_statement> batch() {
        std::vector<dbl_statement> statements;
        while (!at_end()) {
            if (accept(";")) continue;
            statements.push_back(statement());
            statements.back().warnings = std::move(warnings);
            warnings.clear();
            if (!at_end() && !peek().is(";") && !is_statement_start()) fail();
        }
        return statements;
    }

private:
    dbl_statement statement() {
        dbl_statement st;
        st.line = peek().line;
        if (accept("SELECT")) {
            st.kind = dbl_statement_kind::SELECT;
            st.select = select_body();
        } else if (accept("INSERT")) {
            insert(st);
        } else if (accept("CREATE")) {
            create(st);
        } else if (accept("DROP")) {
            drop(st);
        } else if (accept("USE")) {
            st.kind = dbl_statement_kind::USE;
            st.target.parts.push_back(name_part());
        } else if (accept("ALTER")) {
            alter(st);
        } else if (accept("SET")) {
            set(st);
        } else if (accept("EXEC") || accept("EXECUTE")) {
            exec(st);
        } else {
            fail();
        }
        return st;
    }

    void insert(dbl_statement& st) {
        if (accept("BULK")) return insert_bulk(st);
        accept("INTO");
        st.kind = dbl_statement_kind::INSERT;
        st.target = name();
        if (accept("(")) {
            do st.columns.push_back(name_part());
            while (accept(","));
            expect(")");
        }
        if (!accept("VALUES")) fail();
        do {
            // Checked as the statement is compiled, so nothing of the batch runs.
            if (st.rows.size() == MAX_ROW_VALUES) {
                dbl_sql_error error = dbl_err::too_many_row_values();
                error.line = st.line;
                throw error;
            }
            expect("(");
            std::vector<dbl_expr_ptr> row;
            do row.push_back(expression());
            while (accept(","));
            expect(")");
            st.rows.push_back(std::move(row));
        } while (accept(","));
    }

    void insert_bulk(dbl_statement& st) {
        st.kind = dbl_statement_kind::INSERT_BULK;
        st.target = name();
        if (accept("(")) {
            do {
                dbl_bulk_column column;
                column.name = name_part();
                dbl_column_def def;
                column_type(def);
                column.type = def.type;
                if (accept("COLLATE")) name_part();
                st.bulk_columns.push_back(column);
            } while (accept(","));
            expect(")");
        }
        if (accept("WITH")) {
            expect("(");
            do {
                std::string hint = word();
                if (accept("(")) {   // ORDER (col ASC, ...)
                    int local_depth = 1;
                    while (local_depth > 0 && !at_end()) {
                        if (peek().is("(")) ++local_depth;
                        if (peek().is(")")) --local_depth;
                        next();
                    }
                }
                if (accept("=")) next();
                st.hints.push_back(dbl_fold_name(hint));
            } while (accept(","));
            expect(")");
        }
    }

    void create(dbl_statement& st) {
        if (accept("DATABASE")) {
            st.kind = dbl_statement_kind::CREATE_DATABASE;
            st.target.parts.push_back(name_part());
            return;
        }
        if (accept("TABLE")) return create_table(st);
        st.kind = dbl_statement_kind::CREATE_INDEX;
        st.b_unique = accept("UNIQUE");
        if (accept("CLUSTERED")) st.b_clustered = true;
        else accept("NONCLUSTERED");
        expect("INDEX");
        st.index_name = name_part();
        expect("ON");
        st.target = name();
        dbl_constraint_def key;
        key_columns(key);
        if (accept("WHERE")) {
            do {
                st.not_null_filter.push_back(name_part());
                expect("IS");
                expect("NOT");
                expect("NULL");
            } while (accept("AND"));
        }
        st.columns = key.columns;
        st.constraints.push_back(std::move(key));
    }

    void create_table(dbl_statement& st) {
        st.kind = dbl_statement_kind::CREATE_TABLE;
        st.target = name();
        expect("(");
        do {
            if (peek().is("CONSTRAINT") || peek().is("PRIMARY") || peek().is("UNIQUE")
                || peek().is("FOREIGN")) {
                st.constraints.push_back(table_constraint());
            } else {
                st.column_defs.push_back(column_def(st));
            }
        } while (accept(","));
        expect(")");
        if (accept("ON")) name_part();   // filegroup
    }

    void column_type(dbl_column_def& def) {
        def.type_written = name_part();
        std::vector<int> args;
        bool b_max = false;
        if (accept("(")) {
            do {
                if (accept("MAX")) {
                    b_max = true;
                    continue;
                }
                args.push_back(int(std::min<std::int64_t>(whole_number(), 2147483647)));
            } while (accept(","));
            expect(")");
        }
        def.length_given = args.empty() ? 0 : args[0];
        def.b_type_known = dbl_type_from_name(def.type_written, args, b_max, def.type);
    }

    dbl_column_def column_def(dbl_statement& st) {
        dbl_column_def def;
        def.name = name_part();
        column_type(def);
        while (true) {
            std::string constraint_name;
            if (accept("CONSTRAINT")) constraint_name = name_part();
            if (accept("COLLATE")) {
                name_part();
                continue;
            }
            if (accept("NULL")) {
                def.b_nullable = true;
                continue;
            }
            if (accept("NOT")) {
                expect("NULL");
                def.b_nullable = false;
                continue;
            }
            if (accept("ROWGUIDCOL")) continue;
            if (accept("IDENTITY")) {
                identity(def);
                continue;
            }
            if (accept("DEFAULT")) {
                def.default_name = constraint_name;
                default_value(def);
                continue;
            }
            if (peek().is("PRIMARY") || peek().is("UNIQUE")) {
                dbl_constraint_def key = key_kind();
                key.name = constraint_name;
                key.columns.push_back(def.name);
                key.descending.push_back(false);
                st.constraints.push_back(std::move(key));
                continue;
            }
            if (!constraint_name.empty()) fail();
            break;
        }
        return def;
    }

    void identity(dbl_column_def& def) {
        def.b_identity = true;
        if (!accept("(")) return;
        def.seed = signed_integer();
        expect(",");
        def.increment = signed_integer();
        expect(")");
    }

    std::int64_t signed_integer() {
        bool negative = accept("-");
        std::int64_t value = whole_number();
        return negative ? -value : value;
    }

    void default_value(dbl_column_def& def) {
        int parens = 0;
        while (accept("(")) ++parens;
        def.default_expr = expression();
        for (int i = 0; i < parens; ++i) expect(")");
        const dbl_expr& e = *def.default_expr;
        // SQL Server stores a numeric default in two pairs of parentheses, any other in one.
        const bool is_number = e.kind == dbl_expr_kind::LITERAL && !e.literal.value.b_null
                               && e.literal.type.is_numeric();
        def.default_text = is_number ? "((" + e.written + "))" : "(" + e.written + ")";
    }

    dbl_constraint_def key_kind() {
        dbl_constraint_def key;
        if (accept("PRIMARY")) {
            expect("KEY");
            key.kind = dbl_constraint_kind::PRIMARY_KEY;
            key.b_clustered = true;
        } else {
            expect("UNIQUE");
            key.kind = dbl_constraint_kind::UNIQUE;
        }
        if (accept("CLUSTERED")) {
            key.b_clustered = true;
            key.b_clustered_given = true;
        } else if (accept("NONCLUSTERED")) {
            key.b_clustered = false;
            key.b_clustered_given = true;
        }
        return key;
    }

    void key_columns(dbl_constraint_def& key) {
        expect("(");
        do {
            key.columns.push_back(name_part());
            bool descending = accept("DESC");
            if (!descending) accept("ASC");
            key.descending.push_back(descending);
        } while (accept(","));
        expect(")");
    }

    dbl_constraint_def table_constraint() {
        std::string constraint_name;
        if (accept("CONSTRAINT")) constraint_name = name_part();
        dbl_constraint_def key;
        if (accept("FOREIGN")) {
            expect("KEY");
            key.kind = dbl_constraint_kind::FOREIGN_KEY;
            key_columns(key);
            references(key);
        } else {
            key = key_kind();
            key_columns(key);
        }
        key.name = constraint_name;
        return key;
    }

    void references(dbl_constraint_def& key) {
        expect("REFERENCES");
        key.ref_table = name();
        if (accept("(")) {
            do key.ref_columns.push_back(name_part());
            while (accept(","));
            expect(")");
        }
        while (accept("ON")) {
            bool on_delete = accept("DELETE");
            if (!on_delete) expect("UPDATE");
            std::string action;
            if (accept("CASCADE")) action = "CASCADE";
            else if (accept("NO")) {
                expect("ACTION");
                action = "NO ACTION";
            } else if (accept("SET")) {
                action = accept("NULL") ? "SET NULL" : (expect("DEFAULT"), "SET DEFAULT");
            } else {
                fail();
            }
            (on_delete ? key.on_delete : key.on_update) = action;
        }
    }

    void drop(dbl_statement& st) {
        if (accept("DATABASE")) {
            st.kind = dbl_statement_kind::DROP_DATABASE;
            st.target.parts.push_back(name_part());
            return;
        }
        expect("TABLE");
        st.kind = dbl_statement_kind::DROP_TABLE;
        st.target = name();
    }

    void alter(dbl_statement& st) {
        expect("TABLE");
        st.kind = dbl_statement_kind::ALTER_ADD_CONSTRAINT;
        st.target = name();
        if (accept("WITH")) {   // WITH CHECK is the default; WITH NOCHECK skips existing rows
            const bool nocheck = accept("NOCHECK");
            if (!nocheck) expect("CHECK");
            st.hints.push_back(nocheck ? "nocheck" : "check");
        }
        const bool enable = accept("CHECK");
        if (enable || accept("NOCHECK")) {
            expect("CONSTRAINT");
            st.kind = dbl_statement_kind::ALTER_SWITCH_CONSTRAINT;
            st.b_on = enable;
            if (accept("ALL")) {
                st.options.push_back("ALL");
                return;
            }
            do st.options.push_back(name_part());
            while (accept(","));
            return;
        }
        expect("ADD");
        st.constraints.push_back(table_constraint());
    }

    void set(dbl_statement& st) {
        if (accept("IDENTITY_INSERT")) {
            st.kind = dbl_statement_kind::SET_IDENTITY_INSERT;
            st.target = name();
            st.b_on = on_off();
            return;
        }
        st.kind = dbl_statement_kind::SET_OPTION;
        if (accept("TRANSACTION")) {   // SET TRANSACTION ISOLATION LEVEL ...
            expect("ISOLATION");
            expect("LEVEL");
            while (peek().kind == dbl_token_kind::WORD && !is_statement_start()) next();
            return;
        }
        for (const char* option : VALUED_OPTIONS) {
            if (!accept(option)) continue;
            st.options.push_back(option);
            const dbl_token& value = peek();
            if (value.kind == dbl_token_kind::END) fail();
            accept("-");
            st.set_value = peek().utf8;
            next();
            return;
        }
        do {
            std::string option = word();
            bool known = false;
            for (const char* candidate : OPTION_WORDS)
                known = known || dbl_same_name(option, candidate);
            if (!known) throw dbl_err::unknown_function(option);
            if (dbl_same_name(option, "STATISTICS")) word();
            st.options.push_back(dbl_fold_name(option));
        } while (accept(","));
        st.b_on = on_off();
    }

    bool on_off() {
        if (accept("ON")) return true;
        if (accept("OFF")) return false;
        fail();
    }

    void exec(dbl_statement& st) {
        st.kind = dbl_statement_kind::EXEC;
        st.target = name();
        if (at_end() || is_statement_start() || peek().is(";")) return;
        do {
            dbl_exec_arg arg;
            if (peek().kind == dbl_token_kind::VARIABLE && peek_at(1).is("=")) {
                arg.name = peek().utf8;
                next();
                next();
            }
            arg.value = expression();
            st.args.push_back(std::move(arg));
        } while (accept(","));
    }

    std::string word() {
        const dbl_token& token = peek();
        if (token.kind != dbl_token_kind::WORD) fail();
        next();
        return token.utf8;
    }
};

}   // namespace

std::vector<dbl_statement> dbl_parse_batch(const std::u16string& batch, bool b_quoted_identifier) {
    return statement_parser(dbl_lex(batch, b_quoted_identifier)).batch();
}

bool dbl_type_from_name(const std::string& name, const std::vector<int>& args, bool b_max,
                        dbl_type& out) {
    struct entry {
        const char* name;
        dbl_kind kind;
        int default_length;
    };
    static const entry table[] = {
        {"bit", dbl_kind::BIT, 0},           {"tinyint", dbl_kind::TINYINT, 0},
        {"smallint", dbl_kind::SMALLINT, 0}, {"int", dbl_kind::INT, 0},
        {"integer", dbl_kind::INT, 0},       {"bigint", dbl_kind::BIGINT, 0},
        {"real", dbl_kind::REAL, 0},         {"float", dbl_kind::FLOAT, 0},
        {"money", dbl_kind::MONEY, 0},       {"decimal", dbl_kind::DECIMAL, 0},
        {"dec", dbl_kind::DECIMAL, 0},       {"numeric", dbl_kind::NUMERIC, 0},
        {"datetime", dbl_kind::DATETIME, 0}, {"datetime2", dbl_kind::DATETIME2, 0},
        {"char", dbl_kind::CHAR, 1},         {"character", dbl_kind::CHAR, 1},
        {"varchar", dbl_kind::VARCHAR, 1},   {"nchar", dbl_kind::NCHAR, 1},
        {"nvarchar", dbl_kind::NVARCHAR, 1}, {"sysname", dbl_kind::NVARCHAR, 128},
        {"text", dbl_kind::TEXT, 0},         {"ntext", dbl_kind::NTEXT, 0},
        {"binary", dbl_kind::BINARY, 1},     {"varbinary", dbl_kind::VARBINARY, 1},
        {"image", dbl_kind::IMAGE, 0},       {"uniqueidentifier", dbl_kind::GUID, 0}};
    for (const entry& candidate : table) {
        if (!dbl_same_name(name, candidate.name)) continue;
        out = dbl_make_type(candidate.kind, candidate.default_length);
        bool sized = candidate.default_length > 0 && !dbl_same_name(name, "sysname");
        if (b_max) {
            bool max_ok = candidate.kind == dbl_kind::VARCHAR
                          || candidate.kind == dbl_kind::NVARCHAR
                          || candidate.kind == dbl_kind::VARBINARY;
            if (!max_ok || !args.empty()) return false;
            out.length = DBL_MAX_LENGTH;
            return true;
        }
        if (sized && !args.empty()) out.length = args[0];
        if (out.kind == dbl_kind::DECIMAL || out.kind == dbl_kind::NUMERIC) {
            out.precision = args.empty() ? 18 : args[0];
            out.scale = args.size() > 1 ? args[1] : 0;
        }
        if (out.kind == dbl_kind::DATETIME2) out.scale = args.empty() ? 7 : args[0];
        if (out.kind == dbl_kind::FLOAT && !args.empty() && args[0] <= 24)
            out.kind = dbl_kind::REAL;
        return true;
    }
    return false;
}

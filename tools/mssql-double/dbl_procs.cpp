// dbl_procs.cpp - EXEC of the catalogue procedures: sp_columns, sp_pkeys, sp_fkeys and
// sp_statistics with their documented result columns; each answers its rows, DONEINPROC,
// RETURNSTATUS 0 and DONEPROC, as a stored procedure does.
#include "dbl_executor.hpp"

#include "dbl_convert.hpp"
#include "dbl_eval.hpp"
#include "dbl_proc_rows.hpp"
#include "dbl_text.hpp"

namespace {

struct proc_signature {
    const char* name;
    std::vector<const char*> parameters;   // in positional order
    const char* required;
};

const proc_signature PROCS[] = {
    {"sp_columns",
     {"@table_name", "@table_owner", "@table_qualifier", "@column_name", "@ODBCVer"},
     "@table_name"},
    {"sp_pkeys", {"@table_name", "@table_owner", "@table_qualifier"}, "@table_name"},
    {"sp_fkeys",
     {"@pktable_name", "@pktable_owner", "@pktable_qualifier", "@fktable_name", "@fktable_owner",
      "@fktable_qualifier"},
     nullptr},
    {"sp_statistics",
     {"@table_name", "@table_owner", "@table_qualifier", "@index_name", "@is_unique", "@accuracy"},
     "@table_name"},
};

dbl_proc_args bind_arguments(dbl_executor& ex, const proc_signature& signature,
                             const dbl_statement& st) {
    dbl_proc_args args;
    dbl_eval_context context{&ex, nullptr, {}, nullptr};
    for (std::size_t i = 0; i < st.args.size(); ++i) {
        std::string name = st.args[i].name;
        if (name.empty()) {
            if (i >= signature.parameters.size())
                throw dbl_sql_error(8144, 2, 16,
                                    "Procedure or function " + std::string(signature.name)
                                        + " has too many arguments specified.");
            name = signature.parameters[i];
        }
        bool known = false;
        for (const char* parameter : signature.parameters) {
            if (!dbl_same_name(name, parameter)) continue;
            known = true;
            name = parameter;
        }
        if (!known) throw dbl_err::not_a_parameter(name, signature.name);
        dbl_typed value = dbl_eval(*st.args[i].value, context);
        if (!value.value.b_null) args[dbl_fold_name(name)] = dbl_utf8(dbl_value_text(value));
    }
    if (signature.required && !args.count(dbl_fold_name(signature.required)))
        throw dbl_err::missing_parameter(signature.name, signature.required);
    return args;
}

}   // namespace

void dbl_run_exec(dbl_executor& ex, const dbl_statement& st) {
    std::string name = st.target.last();
    for (const proc_signature& signature : PROCS) {
        if (!dbl_same_name(name, signature.name)) continue;
        dbl_proc_args args = bind_arguments(ex, signature, st);
        dbl_rowset rowset = dbl_same_name(name, "sp_columns") ? dbl_sp_columns(ex, args)
                            : dbl_same_name(name, "sp_pkeys") ? dbl_sp_pkeys(ex, args)
                            : dbl_same_name(name, "sp_fkeys") ? dbl_sp_fkeys(ex, args)
                                                              : dbl_sp_statistics(ex, args);
        ex.send_rowset(rowset, dbl_tds::CMD_SELECT, true);
        ex.reply.returnstatus(0);
        ex.reply.done(dbl_tds::TOKEN_DONEPROC, dbl_tds::DONE_MORE, dbl_tds::CMD_EXECUTE, 0);
        return;
    }
    throw dbl_err::unknown_procedure(name);
}

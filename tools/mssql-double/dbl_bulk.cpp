// dbl_bulk.cpp - bulk load as a bcp client does it: "insert bulk t (col type, ...) [with
// (hints)]" names the columns, then one bulk-load message brings COLMETADATA and ROW tokens
// (a DONE token, if any, ends them). The message is one batch: committed whole or not at
// all, answered with its row count once its last packet is in. Rows are stored as their
// packets arrive (dbl_bulk_stream), inside the batch's transaction. Without CHECK_CONSTRAINTS
// foreign keys are not checked and become untrusted; without KEEP_NULLS a NULL takes the column
// default; without KEEPIDENTITY (or IDENTITY_INSERT ON) identity values are generated.
#include "dbl_executor.hpp"

#include "dbl_bulk_stream.hpp"
#include "dbl_row_writer.hpp"
#include "dbl_text.hpp"

namespace {

bool has_hint(const dbl_statement& st, const char* hint) {
    for (const std::string& given : st.hints)
        if (dbl_same_name(given, hint)) return true;
    return false;
}

struct bulk_columns {
    std::vector<dbl_wire_column> wire;
};

bulk_columns read_metadata(dbl_reader& r, std::size_t expected) {
    if (r.u8() != dbl_tds::TOKEN_COLMETADATA) throw dbl_err::bulk_bad_type(1);
    std::size_t count = r.u16_le();
    if (count != expected) throw dbl_err::bulk_bad_type(int(std::min(count, expected)) + 1);
    bulk_columns columns;
    for (std::size_t i = 0; i < count; ++i)
        columns.wire.push_back(dbl_read_wire_column(r, int(i + 1)));
    return columns;
}

// Decodes and stores the rows as they arrive; the number stored.
std::uint64_t store_rows(dbl_executor& ex, dbl_bulk_stream& stream, const dbl_bulk_request& request,
                         const dbl_table_ref& ref, const dbl_write_rules& rules) {
    bulk_columns columns;
    stream.read_whole([&](dbl_reader& r) { columns = read_metadata(r, request.columns.size()); });
    dbl_row_writer writer(ex, ref, rules);
    std::vector<dbl_typed> values(columns.wire.size());   // refilled for each row
    for (std::size_t i = 0; i < columns.wire.size(); ++i) values[i].type = columns.wire[i].type;
    const long limit = ex.server.options().drop_after_bulk_rows;
    std::uint64_t count = 0;
    try {
        while (!stream.at_end()) {
            std::uint8_t token = 0;
            stream.read_whole([&](dbl_reader& r) {
                token = r.u8();
                if (token != dbl_tds::TOKEN_ROW) return;
                for (std::size_t i = 0; i < columns.wire.size(); ++i)
                    values[i].value = dbl_read_value(r, columns.wire[i], int(i + 1));
            });
            if (token == dbl_tds::TOKEN_DONE) break;
            if (token != dbl_tds::TOKEN_ROW) throw dbl_err::bulk_bad_type(1);
            if (limit >= 0 && ex.session.bulk_rows_received >= limit) throw dbl_drop_connection{};
            ++ex.session.bulk_rows_received;
            writer.write(request.columns, values);
            ++count;
        }
    } catch (const dbl_drop_connection&) {
        throw;   // nobody to answer
    } catch (...) {
        writer.store_held();   // a failure of the rows before comes first, as row by row
        throw;
    }
    writer.finish();
    return count;
}

}   // namespace

void dbl_run_insert_bulk(dbl_executor& ex, const dbl_statement& st) {
    dbl_table_ref ref = ex.resolve_table(st.target, true);
    // Bulk loads are held to the filtered index's options as INSERT is ("SET Options That
    // Affect Results": "This includes operations such as BCP").
    ex.check_filtered_index_options("INSERT BULK", ref.table->has_filtered_index());
    dbl_bulk_request request;
    request.database = ref.database->name();
    request.object_id = ref.table->object_id;
    for (const dbl_bulk_column& column : st.bulk_columns) {
        int index = ref.table->column_index(column.name);
        if (index < 0) throw dbl_err::invalid_column(column.name);
        request.columns.push_back(index);
    }
    if (st.bulk_columns.empty())
        for (std::size_t i = 0; i < ref.table->columns.size(); ++i)
            request.columns.push_back(int(i));
    request.b_keep_identity = has_hint(st, "KEEPIDENTITY");
    request.b_keep_nulls = has_hint(st, "KEEP_NULLS");
    request.b_check_constraints = has_hint(st, "CHECK_CONSTRAINTS");
    ex.session.pending_bulk = request;
    ex.send_done(0, false, 0);
}

void dbl_executor::run_bulk(dbl_bulk_stream& stream) {
    if (!session.pending_bulk) {
        send_error(dbl_err::bulk_not_expected(), 1);
        reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_ERROR, 0, 0);
        return;
    }
    dbl_bulk_request request = *session.pending_bulk;
    session.pending_bulk.reset();
    std::uint64_t count = 0;
    try {
        dbl_database* database = server.find_database(request.database);
        const dbl_table* found = database ? database->table_by_id(request.object_id) : nullptr;
        dbl_table* table = found ? database->find_table(found->schema, found->name) : nullptr;
        if (!table) throw dbl_err::invalid_object(std::to_string(request.object_id));
        dbl_table_ref ref{database, table};
        const auto& on = session.identity_insert;
        bool identity_on = on && on->object_id == table->object_id
                           && dbl_same_name(on->database, database->name());
        dbl_write_rules rules;
        rules.b_identity_allowed = request.b_keep_identity || identity_on;
        rules.b_identity_ignored = !rules.b_identity_allowed;
        rules.b_defaults_for_nulls = !request.b_keep_nulls;
        rules.b_check_foreign_keys = request.b_check_constraints;
        rules.b_rows_together = true;
        transact(*database, [&] {
            count = store_rows(*this, stream, request, ref, rules);
            if (!rules.b_check_foreign_keys) database->mark_untrusted(*ref.table);
        });
    } catch (const dbl_sql_error& error) {
        send_error(error, 1);
        reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_ERROR, 0, 0);
        return;
    } catch (const dbl_short_input&) {
        send_error(dbl_err::bulk_bad_length(1), 1);
        reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_ERROR, 0, 0);
        return;
    } catch (const dbl_storage_error& error) {
        send_error(dbl_sql_error(50000, 1, 16, std::string("Storage failure: ") + error.what()), 1);
        reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_ERROR, 0, 0);
        return;
    }
    session.last_rowcount = std::int64_t(count);
    reply.done(dbl_tds::TOKEN_DONE, dbl_tds::DONE_COUNT, 0, count);
}

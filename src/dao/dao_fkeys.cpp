// dao_fkeys.cpp - dao_database::init_fkeys: foreign keys from the relationship catalogue.
// Rows come ordered by relationship name, one per column pair; consecutive rows of one name
// (compared case-blind) are one multi-column key. Each key is named by gen_relship_name;
// the Access name is not carried. grbit bit 2 (dbRelationDontEnforce) marks a relationship
// Access keeps as design only, its rows never checked; 0x100 and 0x1000 its cascading updates
// and deletes, carried as the rule text SQL Server takes.
#include "dao/dao_db.hpp"
#include "dao/dao_exce.hpp"
#include "dao/dao_rec.hpp"
#include "platform/dao/dao.hpp"
#include "platform/winbase/win_compare.hpp"
#include "tk/tk_trace.hpp"

namespace {

constexpr const char16_t* RELATIONSHIP_SELECT =
    u"SELECT szRelationship, szColumn, szObject, szReferencedObject, szReferencedColumn, "
    u"grbit FROM MSysRelationships ORDER BY szRelationship";
constexpr std::size_t RELATIONSHIP_FIELDS = 6;

// "ON DELETE CASCADE", "ON UPDATE CASCADE", both in that order, or nothing. A relationship
// Access does not enforce cascades nothing.
std::u16string cascade_rules(long grbit) {
    if ((grbit & dbRelationDontEnforce) != 0) return u"";
    std::u16string rules;
    if ((grbit & dbRelationDeleteCascade) != 0) rules = u"ON DELETE CASCADE";
    if ((grbit & dbRelationUpdateCascade) != 0) {
        if (!rules.empty()) rules += u" ";
        rules += u"ON UPDATE CASCADE";
    }
    return rules;
}

struct pending_relationship {
    std::u16string name;
    udb_relationship relationship;
};

}   // namespace

void dao_database::init_fkeys() {
    tk_trace::write(2, "dao_database::init_fkeys");
    ole_com_ptr<DAORecordset> rows = open_temporary(RELATIONSHIP_SELECT, DAO_OPTION_READ_ONLY);
    VARIANT_BOOL at_end = 0;
    dao_check(rows->get_EOF(&at_end));
    if (!at_end) dao_check(rows->MoveFirst());

    pending_relationship current;
    auto close_current = [&] {
        current.relationship.name = relationships.gen_relship_name(current.relationship);
        relationships.add(current.relationship);
    };
    while (!at_end) {
        tk_trace::write(2, "Reading next record from MSysRelationships");
        ole_com_ptr<DAOFields> fields;
        dao_check(rows->get_Fields(fields.put()));
        dao_record record(std::move(fields));
        TK_ASSERT(record.size() == RELATIONSHIP_FIELDS);
        std::u16string relationship_name = record[0].to_wstring();
        if (!current.name.empty() && win_equal_ignore_case(current.name, relationship_name)) {
            tk_trace::write(2, u"'%s' is a multi-column FK", relationship_name);
        } else {
            if (!current.name.empty()) close_current();
            current = pending_relationship{};
            current.name = relationship_name;
            current.relationship.src_table = record[2].to_wstring();
            current.relationship.dest_table = record[3].to_wstring();
            const long grbit = record[5].to_long();
            current.relationship.b_enforced = (grbit & dbRelationDontEnforce) == 0;
            current.relationship.fk_props = cascade_rules(grbit);
        }
        current.relationship.src_columns.push_back(record[1].to_wstring());
        current.relationship.dest_columns.push_back(record[4].to_wstring());
        tk_trace::write(2, u"rels_name=%s, src=%s.%s, dest=%s.%s", relationship_name,
                        current.relationship.src_table, record[1].to_wstring(),
                        current.relationship.dest_table, record[4].to_wstring());
        dao_check(rows->MoveNext());
        dao_check(rows->get_EOF(&at_end));
    }
    if (!current.name.empty()) close_current();
}

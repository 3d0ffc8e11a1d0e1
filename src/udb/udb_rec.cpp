// udb_rec.cpp - a row of the neutral model: its fields in column order, found by name
// case-blind. A name the row lacks answers an empty field rather than failing, because the
// statement builders ask for every destination column whether the source sent it or not.
#include "udb/udb_db.hpp"

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "udb/udb_name.hpp"

void udb_record::append(std::unique_ptr<udb_field> field) {
    TK_ASSERT(field != nullptr);
    fields.push_back(std::move(field));
}

bool udb_record::find_field(const std::u16string& name) const {
    tk_trace::write(1, u"udb_record::find_field(%s)", name);
    for (const auto& field : fields) {
        tk_trace::write(2, u"Processing %s", field->name);
        if (udb_same_name(field->name, name)) return true;
    }
    return false;
}

udb_field& udb_record::field(const std::u16string& name) {
    tk_trace::write(1, u"udb_schema::find_field(%s)", name);
    for (const auto& field : fields) {
        if (udb_same_name(field->name, name)) return *field;
    }
    missing = udb_field();   // whatever a caller wrote into the last one is gone
    return missing;
}

// dao_schema_initializer.cpp - the fields of a new Access table.
#include "dao/dao_schema_initializer.hpp"

#include <algorithm>

#include "dao/dao_bstr.hpp"
#include "dao/dao_exce.hpp"
#include "dao/dao_rec.hpp"
#include "ole/ole_date.hpp"
#include "ole/ole_ptr.hpp"
#include "platform/dao/dao.hpp"
#include "tk/tk_trace.hpp"

dao_schema_initializer::dao_schema_initializer(DAOTableDef& table, const udb_schema& source)
    : table_def(table), validator(source) {
    tk_trace::write(2, "dao_schema_initializer::ctor");
    for (std::size_t column_idx = 0; column_idx < source.size(); ++column_idx) {
        const t_ftd& column = source[column_idx];
        std::u16string name = column.name;
        if (!validator.is_acceptable(name)) {
            name = validator.get_safe_name(column.name);
            tk_trace::write(2, u"Store generated column name '%s'", name);
            validator.add_used(name);
            validator.add_mapped_pair(column.name, name);
        }
        validator.add_restricted(name);
        append(std::make_unique<t_ftd>(column.size, name, column.vartype, column.b_not_null,
                                       column.b_autoincrement, column.def_value, column.reserved));
    }
}

std::u16string dao_schema_initializer::quote_def_value(const std::u16string& text) {
    tk_trace::write(1, u"dao_schema_initializer::quote_def_value(%s)", text);
    bool has_double = text.find(u'"') != std::u16string::npos;
    bool has_single = text.find(u'\'') != std::u16string::npos;
    if (has_double && !has_single) return u"'" + text + u"'";
    std::u16string quoted = text;
    if (has_double) std::replace(quoted.begin(), quoted.end(), u'"', u'\'');
    return u"\"" + quoted + u"\"";
}

void dao_schema_initializer::add_default(DAOField& field, const t_ftd& column) {
    const ole_variant& stored = column.def_value;
    tk_trace::write(1, u"Putting default value: (%d, %s)", int(stored.type()), stored.to_wstring());
    ole_variant default_value;
    if (dao_needs_valid_variant(stored.type())) {
        default_value = dao_get_valid_variant(stored);
    } else if (column.vartype == VT_DATE || column.vartype == VT_BSTR) {
        if (column.vartype == VT_DATE) {
            tk_trace::write(1, "Got DATE def value");
            std::string canonical = ole_date(stored.to_string()).to_string();
            tk_trace::write(1, "After canonization: %s", canonical.c_str());
            if (canonical.empty()) return;
        }
        default_value = ole_variant(quote_def_value(stored.to_wstring()));
    } else {
        default_value = stored;
    }
    dao_check(field.put_DefaultValue(default_value.value));
}

void dao_schema_initializer::initialize() {
    tk_trace::write(2, "dao_schema_initializer::initialize");
    ole_com_ptr<DAOFields> local_fields;
    dao_check(table_def.get_Fields(local_fields.put()));
    dao_require(local_fields.get(), "fields");
    std::uint32_t total_size = 0;
    for (std::size_t column_idx = 0; column_idx < size(); ++column_idx) {
        const t_ftd& column = (*this)[column_idx];
        int dao_type = dao_field::get_native_type(column);
        total_size += column.size;
        tk_trace::write(2, "Field #%d, type=%d, size=%d, total size=%d", int(column_idx),
                        int(column.vartype), int(column.size), int(total_size));
        ole_com_ptr<DAOField> field;
        dao_bstr name(column.name);
        dao_check(table_def.CreateField(name, dao_number_variant(dao_type),
                                        dao_number_variant(std::int32_t(column.size)),
                                        field.put()));
        dao_require(field.get(), "field");
        dao_check(local_fields->Append(field.get()));
        dao_check(field->put_Required(column.b_not_null ? VARIANT_BOOL(-1) : VARIANT_BOOL(0)));
        dao_check(field->put_AllowZeroLength(VARIANT_BOOL(-1)));
        if (!column.def_value.to_wstring().empty()) add_default(*field.get(), column);
        if (dao_type == dbLong && column.b_autoincrement)
            dao_check(field->put_Attributes(dbAutoIncrField));
    }
}

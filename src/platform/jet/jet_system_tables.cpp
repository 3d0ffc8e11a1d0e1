#include "platform/jet/jet_system_tables.hpp"

namespace {

jet_new_column column(std::u16string name, std::uint8_t type_code, std::uint16_t length = 0) {
    return jet_make_column(std::move(name), type_code, length);
}

jet_new_table system_table(std::u16string name, std::vector<jet_new_column> columns) {
    jet_new_table table;
    table.name = std::move(name);
    table.columns = std::move(columns);
    table.is_system = true;
    return table;
}

}   // namespace

jet_new_table jet_catalog_table() {
    return system_table(
        u"MSysObjects",
        {column(u"Id", JET_TYPE_INT32), column(u"ParentId", JET_TYPE_INT32),
         column(u"Name", JET_TYPE_TEXT, 128), column(u"Type", JET_TYPE_INT16),
         column(u"DateCreate", JET_TYPE_DATETIME), column(u"DateUpdate", JET_TYPE_DATETIME),
         column(u"Owner", JET_TYPE_BINARY, 255), column(u"Flags", JET_TYPE_INT32),
         column(u"Database", JET_TYPE_MEMO), column(u"Connect", JET_TYPE_MEMO),
         column(u"ForeignName", JET_TYPE_TEXT, 128), column(u"RmtInfoShort", JET_TYPE_BINARY, 255),
         column(u"RmtInfoLong", JET_TYPE_OLE), column(u"Lv", JET_TYPE_OLE),
         column(u"LvProp", JET_TYPE_OLE), column(u"LvModule", JET_TYPE_OLE),
         column(u"LvExtra", JET_TYPE_OLE)});
}

std::vector<jet_new_table> jet_system_tables() {
    return {
        system_table(u"MSysACEs",
                     {column(u"ObjectId", JET_TYPE_INT32), column(u"SID", JET_TYPE_BINARY, 255),
                      column(u"ACM", JET_TYPE_INT32), column(u"FInheritable", JET_TYPE_BOOLEAN)}),
        system_table(u"MSysQueries",
                     {column(u"Attribute", JET_TYPE_BYTE), column(u"Expression", JET_TYPE_MEMO),
                      column(u"Flag", JET_TYPE_INT16), column(u"LvExtra", JET_TYPE_OLE),
                      column(u"Name1", JET_TYPE_MEMO), column(u"Name2", JET_TYPE_MEMO),
                      column(u"ObjectId", JET_TYPE_INT32), column(u"Order", JET_TYPE_BINARY, 255)}),
        system_table(u"MSysRelationships",
                     {column(u"ccolumn", JET_TYPE_INT32), column(u"grbit", JET_TYPE_INT32),
                      column(u"icolumn", JET_TYPE_INT32), column(u"szColumn", JET_TYPE_TEXT, 64),
                      column(u"szObject", JET_TYPE_TEXT, 64),
                      column(u"szReferencedColumn", JET_TYPE_TEXT, 64),
                      column(u"szReferencedObject", JET_TYPE_TEXT, 64),
                      column(u"szRelationship", JET_TYPE_TEXT, 64)}),
    };
}

std::vector<jet_value> jet_catalog_values(const jet_catalog_row& row, double now) {
    std::vector<jet_value> values(17);
    values[0] = jet_value(row.id);
    values[1] = jet_value(row.parent_id);
    values[2] = jet_value(row.name);
    values[3] = jet_value(row.type);
    values[4] = jet_value(jet_date{now});
    values[5] = jet_value(jet_date{now});
    values[7] = jet_value(std::int32_t(row.flags));
    if (!row.properties.empty()) values[14] = jet_value(row.properties);
    return values;
}

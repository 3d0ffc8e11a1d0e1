#include "platform/jet/jet_error.hpp"

jet_error::jet_error(int dao_number, const std::string& message)
    : std::runtime_error(message), number(dao_number), text(message) {}

void jet_error::set_table(const std::string& table_utf8) {
    if (number != JET_ERR_CORRUPT || !table.empty()) return;
    table = table_utf8;
    compose();
}

void jet_error::compose() {
    text = "The database is corrupt: page " + std::to_string(page);
    if (!table.empty()) text += " of table '" + table + "'";
    text += ": " + detail + ".";
}

jet_error jet_error::file_not_found(const std::string& path_utf8) {
    return jet_error(JET_ERR_FILE_NOT_FOUND, "Could not find file '" + path_utf8 + "'.");
}

jet_error jet_error::unrecognized_format(const std::string& path_utf8) {
    return jet_error(JET_ERR_NOT_A_DATABASE, "Unrecognized database format '" + path_utf8 + "'.");
}

jet_error jet_error::not_a_file(const std::string& path_utf8, const std::string& kind) {
    return jet_error(JET_ERR_NOT_A_DATABASE, "Unrecognized database format '" + path_utf8
                                                 + "': it is " + kind + ", not a regular file.");
}

jet_error jet_error::file_in_use(const std::string& path_utf8) {
    return jet_error(JET_ERR_FILE_IN_USE,
                     "Could not use '" + path_utf8 + "'; file already in use.");
}

jet_error jet_error::no_permission(const std::string& path_utf8) {
    return jet_error(JET_ERR_NO_PERMISSION,
                     "The Microsoft Jet database engine cannot open the file '" + path_utf8
                         + "'.  It is already opened exclusively by another user, or you need "
                           "permission to view its data.");
}

jet_error jet_error::table_not_found(const std::string& table_utf8) {
    return jet_error(JET_ERR_TABLE_NOT_FOUND,
                     "The Microsoft Jet database engine cannot find the input table or query '"
                         + table_utf8
                         + "'.  Make sure it exists and that its name is spelled "
                           "correctly.");
}

jet_error jet_error::corrupt(std::uint32_t page_no, const std::string& what) {
    jet_error error(JET_ERR_CORRUPT, what);
    error.page = page_no;
    error.detail = what;
    error.compose();
    return error;
}

// odb_cmd.cpp - statements through the provider stand-in; wide text travels as UTF-8.

#include "mss/odb_cmd.hpp"

#include "mss/odb_exce.hpp"
#include "platform/oledb/oledb_data_source.hpp"
#include "platform/oledb/oledb_session.hpp"
#include "tk/tk_trace.hpp"
#include "tk/tk_utf.hpp"

odb_command::odb_command(oledb_session& target) : session(target) {}

odb_command::odb_command(const oledb_data_source& data_source) : session(data_source.session()) {}

void odb_command::execute(const std::u16string& text, std::unique_ptr<oledb_rowset>* result) {
    tk_trace::write(1, u"odb_command::execute(%s)", text);
    const std::string statement = tk_utf16_to_utf8(text);
    // The statement's start names it; a row's values can run to megabytes.
    constexpr std::size_t SHOWN_CHARS = 160;
    odb_check(session.execute(statement, result),
              "running "
                  + (statement.size() > SHOWN_CHARS ? statement.substr(0, SHOWN_CHARS) + "..."
                                                    : statement));
}

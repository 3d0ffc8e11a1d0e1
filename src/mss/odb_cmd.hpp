#pragma once
// odb_cmd.hpp - odb_command: statements sent on a session (ICommandText::SetCommandText with
// DBGUID_DBSQL, then ICommand::Execute). A batch of several statements is one command.

#include <memory>
#include <string>

class oledb_data_source;
class oledb_rowset;
class oledb_session;

class odb_command {
public:
    explicit odb_command(oledb_session& session);
    // A command on a data source runs on the data source's own session.
    explicit odb_command(const oledb_data_source& data_source);

    // Executes; with `result` the first result set comes back as a rowset. Throws
    // odb_exception when the provider fails.
    void execute(const std::u16string& text, std::unique_ptr<oledb_rowset>* result = nullptr);

private:
    oledb_session& session;
};

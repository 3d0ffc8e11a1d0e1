// wiz_files.hpp - sel_file_page, step 3: the Access source and its password, the SQL Server
// database, the two options, and what happens to a destination that exists already.
#pragma once

#include "wiz/wiz_page.hpp"

class QCheckBox;
class QLineEdit;

class sel_file_page : public wizard_page {
    Q_OBJECT
public:
    sel_file_page();
    void page_init() override;
    bool on_wizard_next() override;
    void on_wizard_back() override;

private:
    void store();
    void on_use_pwd();
    void on_browse();
    // The existing-database choice; false when the user cancelled or the server failed.
    bool decide_existing_destination();

    QLineEdit* source_edit;
    QCheckBox* use_password_check;
    QLineEdit* database_password_edit;
    QLineEdit* destination_edit;
    QCheckBox* definitions_only_check;
    QCheckBox* skip_indexes_check;
};

// The name part of a path or name: no folder, no extension ("my.db" gives "my").
QString wiz_name_part(const QString& path);

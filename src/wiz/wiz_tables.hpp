// wiz_tables.hpp - sel_tables_page, step 4: the source's tables in two lists (available and
// selected) and the user's queries, each standing in a list under the table name its result
// gets. Next hands the selection to the converter.
#pragma once

#include <map>
#include <string>

#include "wiz/wiz_page.hpp"

class QListWidget;
class QListWidgetItem;
class QPushButton;

class sel_tables_page : public wizard_page {
    Q_OBJECT
public:
    sel_tables_page();
    void page_init() override;
    bool on_wizard_next() override;

private:
    void fill_queries();
    void on_add();
    void on_add_all();
    void on_delete();
    void on_del_all();
    void on_add_query();
    void on_edit_query(QListWidgetItem* item);
    // Moves the current entry of `from` to `to`, then selects the entry at the same place
    // of `from` (or its last); an emptied `from` hands the focus to `to`.
    void move_current(QListWidget* from, QListWidget* to);
    void move_all(QListWidget* from, QListWidget* to);
    bool is_listed(const QString& name) const;

    QListWidget* available_list;
    QListWidget* selected_list;
    QPushButton* add_query_button;
    // Every query the page knows, by the table name its result gets, whichever list it is in.
    std::map<std::u16string, std::u16string> queries;
};

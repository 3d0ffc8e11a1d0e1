// wiz_tables.cpp - step 4. A query is known by name in one map, whichever list it stands in:
// at Next those in the selected list go into the converter's table map (and are converted)
// and those left available into its query map. A stored query the user selects is converted
// like one added here, which a split into "selected" and "available" maps would lose.
#include "wiz/wiz_tables.hpp"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "conv/vantrel_conv.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "udb/udb_name.hpp"
#include "wiz/wiz_errh.hpp"
#include "wiz/wiz_query.hpp"
#include "wiz/wiz_shell.hpp"

namespace {

QListWidget* make_list(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSortingEnabled(true);
    return list;
}

QPushButton* make_button(const char* text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

void select_row(QListWidget* list, int row) {
    if (list->count() == 0) return;
    list->setCurrentRow(std::min(row, list->count() - 1));
}

}   // namespace

sel_tables_page::sel_tables_page()
    : wizard_page(HELP_TABLES, "Step 4 of 5", "Select tables to convert") {
    setObjectName("selTablesPage");
    setCommitPage(true);   // the run starts after this page: no way back from step 5
    auto* caption = new QLabel("Select MS Access tables to convert into MS SQL format.", this);
    caption->setObjectName("tablesCaption");
    available_list = make_list("availableList", this);
    selected_list = make_list("selectedList", this);
    auto* available_label = new QLabel("&Available tables:", this);
    available_label->setObjectName("availableLabel");
    available_label->setBuddy(available_list);
    auto* selected_label = new QLabel("&Selected tables:", this);
    selected_label->setObjectName("selectedLabel");
    selected_label->setBuddy(selected_list);
    QPushButton* add_button = make_button("A&dd >", "addButton", this);
    QPushButton* add_all_button = make_button("Add a&ll >", "addAllButton", this);
    QPushButton* remove_button = make_button("< &Remove", "removeButton", this);
    QPushButton* remove_all_button = make_button("< Re&move all", "removeAllButton", this);
    add_query_button = make_button("&Add Query", "addQueryButton", this);
    add_query_button->hide();

    connect(add_button, &QPushButton::clicked, this, &sel_tables_page::on_add);
    connect(add_all_button, &QPushButton::clicked, this, &sel_tables_page::on_add_all);
    connect(remove_button, &QPushButton::clicked, this, &sel_tables_page::on_delete);
    connect(remove_all_button, &QPushButton::clicked, this, &sel_tables_page::on_del_all);
    connect(add_query_button, &QPushButton::clicked, this, &sel_tables_page::on_add_query);
    connect(available_list, &QListWidget::itemDoubleClicked, this, &sel_tables_page::on_add);
    connect(selected_list, &QListWidget::itemDoubleClicked, this, &sel_tables_page::on_edit_query);

    auto* buttons = new QVBoxLayout();
    buttons->addStretch();
    for (QPushButton* button : {add_button, add_all_button, remove_button, remove_all_button}) {
        buttons->addWidget(button);
    }
    buttons->addSpacing(12);
    buttons->addWidget(add_query_button);
    buttons->addStretch();
    auto* layout = new QGridLayout(this);
    layout->addWidget(caption, 0, 0, 1, 3);
    layout->addWidget(available_label, 1, 0);
    layout->addWidget(selected_label, 1, 2);
    layout->addWidget(available_list, 2, 0);
    layout->addLayout(buttons, 2, 1);
    layout->addWidget(selected_list, 2, 2);
}

void sel_tables_page::page_init() {
    tk_trace::write(1, "sel_tables_page::page_init");
    vantrel_convertor& converter = wiz_converter();
    available_list->clear();
    selected_list->clear();
    queries.clear();
    std::vector<std::u16string> names;
    try {
        converter.get_all_tables(names);
    } catch (const tk_exception& failure) {
        wiz_error_handler::current().report_on_page(failure);
    }
    for (const std::u16string& name : names) {
        available_list->addItem(QString::fromStdU16String(name));
    }
    select_row(available_list, 0);
    add_query_button->show();
    fill_queries();
}

void sel_tables_page::fill_queries() {
    const vantrel_convertor& converter = wiz_converter();
    for (const auto& [name, sql] : converter.get_table_map()) {
        const QString entry = QString::fromStdU16String(name);
        auto in_available = available_list->findItems(entry, Qt::MatchExactly);
        if (!in_available.isEmpty()) {
            selected_list->addItem(available_list->takeItem(available_list->row(in_available[0])));
        } else if (!sql.empty() && selected_list->findItems(entry, Qt::MatchExactly).isEmpty()) {
            selected_list->addItem(entry);
        }
        if (!sql.empty()) queries.emplace(name, sql);
    }
    for (const auto& [name, sql] : converter.get_query_map()) {
        const QString entry = QString::fromStdU16String(name);
        if (sql.empty() || is_listed(entry)) continue;
        available_list->addItem(entry);
        queries.emplace(name, sql);
    }
}

void sel_tables_page::move_current(QListWidget* from, QListWidget* to) {
    const int row = from->currentRow();
    if (row < 0) return;
    QListWidgetItem* item = from->takeItem(row);
    to->addItem(item);
    if (from->count() == 0) {
        to->setFocus();
        select_row(to, 0);
        return;
    }
    select_row(from, row);
}

void sel_tables_page::move_all(QListWidget* from, QListWidget* to) {
    while (from->count() > 0) to->addItem(from->takeItem(0));
    to->setFocus();
    select_row(to, 0);
}

void sel_tables_page::on_add() {
    tk_trace::write(2, "sel_tables_page::on_add");
    move_current(available_list, selected_list);
}

void sel_tables_page::on_add_all() {
    tk_trace::write(1, "sel_tables_page::on_add_all");
    move_all(available_list, selected_list);
}

void sel_tables_page::on_delete() {
    tk_trace::write(1, "sel_tables_page::on_delete");
    move_current(selected_list, available_list);
}

void sel_tables_page::on_del_all() {
    tk_trace::write(1, "sel_tables_page::on_del_all");
    move_all(selected_list, available_list);
}

bool sel_tables_page::is_listed(const QString& name) const {
    const std::u16string wanted = name.toStdU16String();
    for (const QListWidget* list : {available_list, selected_list}) {
        for (int row = 0; row < list->count(); ++row) {
            if (udb_same_name(list->item(row)->text().toStdU16String(), wanted)) return true;
        }
    }
    return false;
}

void sel_tables_page::on_add_query() {
    tk_trace::write(2, "sel_tables_page::on_add_query");
    QString name;
    QString sql;
    while (true) {
        set_query_dlg dialog(name, sql, window());
        if (dialog.exec() != QDialog::Accepted) return;
        name = dialog.table_name();
        sql = dialog.query();
        if (!is_listed(name)) break;
        wizard_shell::message("Duplicate table name. Try again.");
    }
    selected_list->addItem(name);
    queries[name.toStdU16String()] = sql.toStdU16String();
}

void sel_tables_page::on_edit_query(QListWidgetItem* item) {
    tk_trace::write(2, "sel_tables_page::on_edit_query");
    if (item == nullptr) return;
    auto found = queries.find(item->text().toStdU16String());
    if (found == queries.end()) return;
    set_query_dlg dialog(item->text(), QString::fromStdU16String(found->second), window());
    if (dialog.exec() != QDialog::Accepted) return;
    queries.erase(found);
    queries[dialog.table_name().toStdU16String()] = dialog.query().toStdU16String();
    item->setText(dialog.table_name());
}

bool sel_tables_page::on_wizard_next() {
    if (available_list->count() > 0 && selected_list->count() == 0
        && !wizard_shell::question("There are no tables selected. Continue anyway?")) {
        return false;
    }
    udb_converter::table_map chosen_queries;
    std::vector<std::u16string> chosen_tables;
    for (int row = 0; row < selected_list->count(); ++row) {
        const std::u16string name = selected_list->item(row)->text().toStdU16String();
        auto query = queries.find(name);
        if (query != queries.end()) {
            chosen_queries.emplace(name, query->second);
        } else {
            chosen_tables.push_back(name);
        }
    }
    udb_converter::table_map stored_queries;
    for (int row = 0; row < available_list->count(); ++row) {
        const std::u16string name = available_list->item(row)->text().toStdU16String();
        auto query = queries.find(name);
        if (query != queries.end()) stored_queries.emplace(name, query->second);
    }
    vantrel_convertor& converter = wiz_converter();
    converter.set_selected_tables(std::move(chosen_tables));
    converter.set_table_map(std::move(chosen_queries));
    converter.set_query_map(std::move(stored_queries));
    return true;
}

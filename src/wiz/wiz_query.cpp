// wiz_query.cpp - the Add Query dialog. The query is only tested here; it runs as part of
// the conversion, where its result becomes a table.
#include "wiz/wiz_query.hpp"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "conv/vantrel_conv.hpp"
#include "tk/tk_mail.hpp"
#include "tk/tk_trace.hpp"
#include "wiz/wiz_page.hpp"
#include "wiz/wiz_shell.hpp"

namespace {

// Longest name and query the dialog reads.
constexpr int MAX_QUERY_CHARS = 2047;

constexpr const char* NOT_SELECT_TEXT = "The query must start with SELECT.";

}   // namespace

bool wiz_starts_with_select(const QString& query) {
    const QString text = query.left(MAX_QUERY_CHARS);
    qsizetype start = 0;
    while (start < text.size()
           && (text[start] == '\t' || text[start] == '\n' || text[start] == '\r'
               || text[start] == ' ')) {
        ++start;
    }
    return text.size() - start >= 6
           && text.mid(start, 6).compare("SELECT", Qt::CaseInsensitive) == 0;
}

set_query_dlg::set_query_dlg(const QString& table_name, const QString& query, QWidget* parent)
    : QDialog(parent) {
    tk_trace::write(1, "set_query_dlg::set_query_dlg");
    setObjectName("setQueryDialog");
    setWindowTitle("Add Query");
    tk_trace::write(1, "set_query_dlg::on_init");
    table_name_edit = new QLineEdit(table_name, this);
    table_name_edit->setObjectName("tableNameEdit");
    query_edit = new QPlainTextEdit(query, this);
    query_edit->setObjectName("queryEdit");
    auto* name_label = new QLabel("Store as Table:", this);
    name_label->setBuddy(table_name_edit);
    auto* query_label = new QLabel("Query:", this);
    query_label->setBuddy(query_edit);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
    buttons->button(QDialogButtonBox::Help)->setObjectName("helpButton");
    QPushButton* test_button = buttons->addButton("Test Query", QDialogButtonBox::ActionRole);
    test_button->setObjectName("testQueryButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &set_query_dlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] {
        tk_trace::write(1, "set_query_dlg::on_cancel");
        reject();
    });
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { wizard_shell::instance().display_help(HELP_ADD_QUERY); });
    connect(test_button, &QPushButton::clicked, this, &set_query_dlg::on_test_query);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name_label);
    layout->addWidget(table_name_edit);
    layout->addWidget(query_label);
    layout->addWidget(query_edit);
    layout->addWidget(buttons);
    resize(480, 320);
}

QString set_query_dlg::table_name() const { return table_name_edit->text().left(MAX_QUERY_CHARS); }

QString set_query_dlg::query() const { return query_edit->toPlainText().left(MAX_QUERY_CHARS); }

void set_query_dlg::accept() {
    tk_trace::write(1, "set_query_dlg::on_ok");
    if (table_name().isEmpty()) {
        wizard_shell::message("Table name is empty!");
        return;
    }
    if (query().isEmpty()) {
        wizard_shell::error("Query is empty!");
        return;
    }
    if (!wiz_starts_with_select(query())) {
        wizard_shell::error(NOT_SELECT_TEXT);
        return;
    }
    QDialog::accept();
}

void set_query_dlg::on_test_query() {
    if (!wiz_starts_with_select(query())) {
        wizard_shell::error(NOT_SELECT_TEXT);
        return;
    }
    if (wiz_converter().test_query(query().toStdU16String())) {
        wizard_shell::message("The query is correct.");
        return;
    }
    wizard_shell::error(QString("You have an error in your query syntax. Make sure that it is a "
                                "correct SQL SELECT-statement. Contact ")
                        + TK_SUPPORT_ADDRESS + " if the error persists.");
}

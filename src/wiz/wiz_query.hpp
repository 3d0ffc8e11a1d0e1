// wiz_query.hpp - set_query_dlg ("Add Query"): a table name and a SELECT over the source
// whose result becomes a table of that name; the query can be tried on the source first.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPlainTextEdit;

// Whether the text, after leading blanks, tabs and line ends, begins with SELECT in any case.
bool wiz_starts_with_select(const QString& query);

class set_query_dlg : public QDialog {
    Q_OBJECT
public:
    set_query_dlg(const QString& table_name, const QString& query, QWidget* parent);

    QString table_name() const;
    QString query() const;

public slots:
    void accept() override;

private:
    void on_test_query();

    QLineEdit* table_name_edit;
    QPlainTextEdit* query_edit;
};

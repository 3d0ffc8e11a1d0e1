// wiz_error_dialogs.hpp - the two dialogs of the wizard's error handler: dlg_error_ex for an
// internal error (send a bug report, copy the text, OK) and dlg_error_continue for a failure
// the run can pass over (Continue, the default, or Abort; "do not show again").
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;

// dlg_error_continue's results, as the dialog template numbers its buttons.
inline constexpr int DLG_ERROR_ABORT = 1;
inline constexpr int DLG_ERROR_CONTINUE = 2;

class dlg_error_ex : public QDialog {
    Q_OBJECT
public:
    explicit dlg_error_ex(const QString& message, QWidget* parent = nullptr);

private:
    void on_copy();
    void on_send_bug();

    QString message;
};

class dlg_error_continue : public QDialog {
    Q_OBJECT
public:
    explicit dlg_error_continue(const QString& message, QWidget* parent = nullptr);
    bool is_do_not_show() const;

private:
    QCheckBox* do_not_show_check;
};

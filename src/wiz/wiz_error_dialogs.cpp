// wiz_error_dialogs.cpp - both error dialogs: caption from the shell when it is shown, the
// message beside the stop icon, centred over the wizard and on top.
#include "wiz/wiz_error_dialogs.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "tk/tk_mail.hpp"
#include "tk/tk_trace.hpp"
#include "wiz/wiz_shell.hpp"

namespace {

QWidget* dialog_owner(QWidget* parent) {
    if (parent != nullptr) return parent;
    return wizard_shell::is_initialized() ? &wizard_shell::instance() : nullptr;
}

QString error_caption() {
    return wizard_shell::is_initialized() ? wizard_shell::instance().title() + " Error"
                                          : QString("Error");
}

// The stop icon and the message, side by side.
QHBoxLayout* message_row(QWidget* dialog, const QString& message) {
    auto* icon = new QLabel(dialog);
    icon->setObjectName("stopIcon");
    icon->setPixmap(dialog->style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    auto* text = new QLabel(message, dialog);
    text->setObjectName("errorMessage");
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* row = new QHBoxLayout();
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    return row;
}

QPushButton* add_button(QHBoxLayout* row, QDialog* dialog, const char* text, const char* name) {
    auto* button = new QPushButton(text, dialog);
    button->setObjectName(name);
    row->addWidget(button);
    return button;
}

}   // namespace

dlg_error_ex::dlg_error_ex(const QString& new_message, QWidget* parent)
    : QDialog(dialog_owner(parent)), message(new_message) {
    tk_trace::write(1, "dlg_error_ex::ctor");
    setObjectName("errorExDialog");
    tk_trace::write(1, "dlg_error_ex::on_init");
    setWindowTitle(error_caption());
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    QPushButton* send = add_button(buttons, this, "Send bug", "sendBugButton");
    QPushButton* ok = add_button(buttons, this, "OK", "okButton");
    QPushButton* copy = add_button(buttons, this, "Copy to clipboard", "copyButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(copy, &QPushButton::clicked, this, &dlg_error_ex::on_copy);
    connect(send, &QPushButton::clicked, this, &dlg_error_ex::on_send_bug);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(message_row(this, new_message));
    layout->addLayout(buttons);
}

void dlg_error_ex::on_copy() {
    QApplication::clipboard()->setText(message);
    accept();
}

void dlg_error_ex::on_send_bug() {
    const std::string title = wizard_shell::is_initialized()
                                  ? wizard_shell::instance().title().toStdString()
                                  : std::string();
    send_bug_report(title, message.toStdString());
    accept();
}

dlg_error_continue::dlg_error_continue(const QString& message, QWidget* parent)
    : QDialog(dialog_owner(parent)) {
    tk_trace::write(1, "dlg_error_continue::ctor");
    setObjectName("errorContinueDialog");
    tk_trace::write(1, "dlg_error_continue::on_init");
    setWindowTitle(error_caption());
    do_not_show_check = new QCheckBox("&Do not show this dialog box again", this);
    do_not_show_check->setObjectName("doNotShowCheck");
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(do_not_show_check);
    buttons->addStretch();
    QPushButton* continue_button = add_button(buttons, this, "Continue", "continueButton");
    QPushButton* abort_button = add_button(buttons, this, "Abort", "abortButton");
    continue_button->setDefault(true);
    connect(continue_button, &QPushButton::clicked, this, [this] { done(DLG_ERROR_CONTINUE); });
    connect(abort_button, &QPushButton::clicked, this, [this] { done(DLG_ERROR_ABORT); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(message_row(this, message));
    layout->addLayout(buttons);
}

bool dlg_error_continue::is_do_not_show() const { return do_not_show_check->isChecked(); }

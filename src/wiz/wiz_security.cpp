// wiz_security.cpp - step 2 and its six checks: the file must exist and be a workgroup
// file, and file and user come together or not at all; the password may be empty.
#include "wiz/wiz_security.hpp"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "conv/vantrel_conv.hpp"
#include "tk/tk_fsys.hpp"
#include "tk/tk_trace.hpp"
#include "wiz/wiz_shell.hpp"

ugl_page::ugl_page()
    : wizard_page(HELP_SECURITY, "Step 2 of 5", "MS Access user-level security settings") {
    setObjectName("uglPage");
    tk_trace::write(1, "ugl_page::ctor");
    workgroup_edit = new QLineEdit(this);
    workgroup_edit->setObjectName("workgroupEdit");
    auto* browse_button = new QPushButton("Browse...", this);
    browse_button->setObjectName("browseWorkgroupButton");
    connect(browse_button, &QPushButton::clicked, this, &ugl_page::on_browse);
    user_edit = new QLineEdit(this);
    user_edit->setObjectName("userEdit");
    user_password_edit = new QLineEdit(this);
    user_password_edit->setObjectName("userPasswordEdit");
    user_password_edit->setEchoMode(QLineEdit::Password);

    auto* file_label = new QLabel("Path to &workgroup informtation file:", this);
    file_label->setBuddy(workgroup_edit);
    auto* file_row = new QHBoxLayout();
    file_row->addWidget(workgroup_edit);
    file_row->addWidget(browse_button);
    auto* user_label = new QLabel("&User name:", this);
    user_label->setBuddy(user_edit);
    auto* password_label = new QLabel("User &password:", this);
    password_label->setBuddy(user_password_edit);
    auto* form = new QFormLayout();
    form->addRow(user_label, user_edit);
    form->addRow(password_label, user_password_edit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(file_label);
    layout->addLayout(file_row);
    layout->addSpacing(8);
    layout->addLayout(form);
    layout->addStretch();
}

void ugl_page::page_init() {
    tk_trace::write(2, "ugl_page::page_init");
    vantrel_convertor& converter = wiz_converter();
    workgroup_edit->setText(QString::fromStdU16String(converter.get_workgroup_file()));
    user_edit->setText(QString::fromStdU16String(converter.get_workgroup_user()));
    user_password_edit->setText(QString::fromStdU16String(converter.get_workgroup_password()));
}

void ugl_page::on_browse() {
    const QString path = QFileDialog::getOpenFileName(
        this, "Select Workgroup Information File", workgroup_edit->text(),
        "Workgroup Information Files (*.mdw)", nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty()) workgroup_edit->setText(path);
}

void ugl_page::store() {
    wiz_converter().store_ugl_settings(wiz_text(workgroup_edit).toStdU16String(),
                                       wiz_text(user_edit).toStdU16String(),
                                       wiz_text(user_password_edit).toStdU16String());
}

bool ugl_page::on_wizard_next() {
    store();
    const vantrel_convertor& converter = wiz_converter();
    const std::u16string& file = converter.get_workgroup_file();
    const bool b_has_user = !converter.get_workgroup_user().empty();
    if (!file.empty()) {
        const std::string file_utf8 = QString::fromStdU16String(file).toStdString();
        if (!tk_is_file_exist(file_utf8, TK_ACCESS_READ)) {
            wizard_shell::error("Workgroup information file does not exist.\r\n"
                                "Please verify the correct path was given.");
            return false;
        }
        if (!converter.check_sysdb(file)) {
            wizard_shell::error(
                "The file does not comply with MS Access workgroup information\r\n"
                "file format. Leave all the fields empty on this wizard page if your\r\n"
                "database is not protected with MS Access user-level security.");
            return false;
        }
    }
    if (file.empty() && b_has_user) {
        wizard_shell::message("You should enter path to MS Access workgroup information file");
        return false;
    }
    if (!file.empty() && !b_has_user) {
        wizard_shell::message("You should enter user name");
        return false;
    }
    return true;
}

void ugl_page::on_wizard_back() { store(); }

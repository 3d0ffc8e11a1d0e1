// wiz_files.cpp - step 3. The checks run in the order a user fixes them: names first, then
// the source file, then the server's answer about the destination, then a trial open of the
// source with the password and workgroup of step 2.
#include "wiz/wiz_files.hpp"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "conv/vantrel_conv.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_fname.hpp"
#include "tk/tk_fsys.hpp"
#include "tk/tk_trace.hpp"
#include "wiz/wiz_errh.hpp"
#include "wiz/wiz_overwrite.hpp"
#include "wiz/wiz_shell.hpp"

namespace {

// Qt reads the patterns inside the parentheses: both extensions need their "*.".
constexpr const char* ACCESS_FILTER = "MS Access Databases (*.mdb *.accdb)";

constexpr const char* EXISTING_DATABASE_TEXT =
    "The destination database already exists. Select one of the\n"
    "options below. Click 'Help' button for more information.";

}   // namespace

QString wiz_name_part(const QString& path) {
    return QString::fromStdU16String(tk_file_wname(path.toStdU16String()).name());
}

sel_file_page::sel_file_page() : wizard_page(HELP_FILES, "Step 3 of 5", "Select databases") {
    setObjectName("selFilePage");
    source_edit = new QLineEdit(this);
    source_edit->setObjectName("sourceEdit");
    auto* source_label = new QLabel("MS &Access database name:", this);
    source_label->setBuddy(source_edit);
    auto* browse_button = new QPushButton("Browse...", this);
    browse_button->setObjectName("browseSourceButton");
    use_password_check = new QCheckBox("&Use password:", this);
    use_password_check->setObjectName("usePasswordCheck");
    database_password_edit = new QLineEdit(this);
    database_password_edit->setObjectName("databasePasswordEdit");
    database_password_edit->setEchoMode(QLineEdit::Password);
    destination_edit = new QLineEdit(this);
    destination_edit->setObjectName("destinationEdit");
    auto* destination_label = new QLabel("MS &SQL database name:", this);
    destination_label->setBuddy(destination_edit);
    definitions_only_check = new QCheckBox("&Convert table definitions only", this);
    definitions_only_check->setObjectName("definitionsOnlyCheck");
    skip_indexes_check = new QCheckBox("S&kip converting indexes", this);
    skip_indexes_check->setObjectName("skipIndexesCheck");
    connect(browse_button, &QPushButton::clicked, this, &sel_file_page::on_browse);
    connect(use_password_check, &QCheckBox::clicked, this, &sel_file_page::on_use_pwd);

    auto* layout = new QGridLayout(this);
    layout->addWidget(source_label, 0, 0, 1, 2);
    layout->addWidget(source_edit, 1, 0);
    layout->addWidget(browse_button, 1, 1);
    layout->addWidget(use_password_check, 2, 0, 1, 2);
    layout->addWidget(database_password_edit, 3, 0);
    layout->addWidget(destination_label, 4, 0, 1, 2);
    layout->addWidget(destination_edit, 5, 0);
    layout->addWidget(definitions_only_check, 6, 0, 1, 2);
    layout->addWidget(skip_indexes_check, 7, 0, 1, 2);
    layout->setRowStretch(8, 1);
}

void sel_file_page::page_init() {
    tk_trace::write(1, "sel_file_page::page_init");
    const vantrel_convertor& converter = wiz_converter();
    const QString password = QString::fromStdU16String(converter.get_database_password());
    use_password_check->setChecked(!password.isEmpty());
    database_password_edit->setEnabled(!password.isEmpty());
    database_password_edit->setText(password);
    definitions_only_check->setChecked(converter.is_definitions_only());
    skip_indexes_check->setChecked(converter.is_skip_indexes());
    const std::u16string& source = converter.get_source();
    if (!source.empty()) {
        source_edit->setText(QString::fromStdU16String(tk_file_wname(source).full_path()));
    }
    const std::u16string& destination = converter.get_destination();
    destination_edit->setText(
        wiz_name_part(QString::fromStdU16String(destination.empty() ? source : destination)));
}

void sel_file_page::on_use_pwd() {
    tk_trace::write(1, "sel_file_page::on_use_pwd");
    enable_ctrl(database_password_edit, use_password_check->isChecked());
}

void sel_file_page::on_browse() {
    const QString path = QFileDialog::getOpenFileName(this, "Select MS Access database to convert",
                                                      source_edit->text(), ACCESS_FILTER, nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return;
    source_edit->setText(path);
    destination_edit->setText(wiz_name_part(path));
}

void sel_file_page::store() {
    vantrel_convertor& converter = wiz_converter();
    converter.set_definitions_only(definitions_only_check->isChecked());
    converter.set_skip_indexes(skip_indexes_check->isChecked());
    converter.set_source(wiz_text(source_edit).toStdU16String());
    converter.set_destination(wiz_text(destination_edit).toStdU16String());
    converter.set_database_password(use_password_check->isChecked()
                                        ? wiz_text(database_password_edit).toStdU16String()
                                        : std::u16string());
}

bool sel_file_page::on_wizard_next() {
    store();
    vantrel_convertor& converter = wiz_converter();
    if (converter.get_source().empty()) {
        wizard_shell::message("You should enter MS Access database name");
        return false;
    }
    if (converter.get_destination().empty()) {
        wizard_shell::message("You should enter MS SQL database name");
        return false;
    }
    const std::string source_utf8 = QString::fromStdU16String(converter.get_source()).toStdString();
    if (!tk_is_file_exist(source_utf8, TK_ACCESS_READ)) {
        wizard_shell::error("Source file does not exist.\r\n"
                            "Please verify the correct path was given.");
        return false;
    }
    if (!decide_existing_destination()) return false;
    try {
        converter.check_acc_base(converter.get_source(), converter.get_database_password());
    } catch (const tk_exception& failure) {
        wiz_error_handler::current().report_on_page(failure);
        return false;
    }
    return true;
}

bool sel_file_page::decide_existing_destination() {
    vantrel_convertor& converter = wiz_converter();
    try {
        if (!converter.mssql_engine().is_db_exist(converter.get_destination())) {
            tk_trace::write(2, "Creating new MS SQL DB...");
            return true;
        }
        tk_trace::write(2, "MS SQL DB exists...");
        overwrite_dlg2 dialog(HELP_EXISTING_DATABASE, EXISTING_DATABASE_TEXT, window());
        if (dialog.exec() != QDialog::Accepted) return false;
        if (dialog.mode() == MODE_OVERWRITE_DATABASE) {
            converter.mssql_engine().delete_db(converter.get_destination());
        }
        converter.set_mode(dialog.mode());
        return true;
    } catch (const tk_exception& failure) {
        wiz_error_handler::current().report_on_page(failure);
        return false;
    }
}

void sel_file_page::on_wizard_back() { store(); }

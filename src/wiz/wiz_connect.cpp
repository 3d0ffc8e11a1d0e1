// wiz_connect.cpp - step 1. The worker shows its failure itself (the box is marshalled to
// the GUI thread) and then closes the animation; the page reads the connected flag only
// after the dialog has returned and the worker has been joined.
#include "wiz/wiz_connect.hpp"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "conv/conv_errh.hpp"
#include "conv/vantrel_conv.hpp"
#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "wiz/wiz_connect_dialog.hpp"
#include "wiz/wiz_shell.hpp"

namespace {

constexpr const char* NO_SERVER_TEXT = "MS SQL Server does not exist or access denied.\n"
                                       "Check to verify the correct host was given.";

QString connection_failure_text(const tk_exception& failure) {
    if ((failure.code() & 0xFFFF) == PROVIDER_GENERAL_FAILURE) return NO_SERVER_TEXT;
    std::string mapped = error_handler::instance().find_message(failure.code());
    return QString::fromStdString(mapped.empty() ? std::string(failure.what()) : mapped);
}

}   // namespace

mssql_settings_page::mssql_settings_page()
    : wizard_page(HELP_CONNECT, "Step 1 of 5", "Connect to MS SQL server") {
    setObjectName("mssqlSettingsPage");
    server_edit = new QLineEdit(this);
    server_edit->setObjectName("serverEdit");
    auto* server_label = new QLabel("MS &SQL Server:", this);
    server_label->setBuddy(server_edit);
    auto* hint = new QLabel("Leave 'MS SQL Server' field empty to connect to local server.", this);
    hint->setObjectName("serverHint");
    windows_auth_radio = new QRadioButton("&Windows authentication", this);
    windows_auth_radio->setObjectName("windowsAuthRadio");
    sql_auth_radio = new QRadioButton("S&QL Server authentication", this);
    sql_auth_radio->setObjectName("sqlAuthRadio");
    login_edit = new QLineEdit(this);
    login_edit->setObjectName("loginEdit");
    password_edit = new QLineEdit(this);
    password_edit->setObjectName("passwordEdit");
    password_edit->setEchoMode(QLineEdit::Password);
    dbo_check = new QCheckBox("&Connect as database owner", this);
    dbo_check->setObjectName("dboCheck");
    connect(windows_auth_radio, &QRadioButton::toggled, this,
            &mssql_settings_page::on_authentication_changed);

    auto* login_form = new QFormLayout();
    auto* login_label = new QLabel("&Login name:", this);
    login_label->setBuddy(login_edit);
    auto* password_label = new QLabel("&Password:", this);
    password_label->setBuddy(password_edit);
    login_form->addRow(login_label, login_edit);
    login_form->addRow(password_label, password_edit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(server_label);
    layout->addWidget(server_edit);
    layout->addWidget(hint);
    layout->addSpacing(8);
    layout->addWidget(windows_auth_radio);
    layout->addWidget(sql_auth_radio);
    layout->addLayout(login_form);
    layout->addSpacing(8);
    layout->addWidget(dbo_check);
    layout->addStretch();
}

mssql_settings_page::~mssql_settings_page() = default;

void mssql_settings_page::page_init() {
    tk_trace::write(1, "mssql_settings_page::page_init");
    vantrel_convertor& converter = wiz_converter();
    server_edit->setText(QString::fromStdU16String(converter.get_host()));
    login_edit->setText(QString::fromStdU16String(converter.get_user()));
    password_edit->setText(QString::fromStdU16String(converter.get_password()));
    const bool b_windows = converter.is_windows_authentication();
    windows_auth_radio->setChecked(b_windows);
    sql_auth_radio->setChecked(!b_windows);
    login_edit->setEnabled(!b_windows);
    password_edit->setEnabled(!b_windows);
    dbo_check->setChecked(converter.mssql_engine().is_as_dbo());
}

void mssql_settings_page::on_authentication_changed() {
    const bool b_sql_login = !windows_auth_radio->isChecked();
    login_edit->setEnabled(b_sql_login);
    password_edit->setEnabled(b_sql_login);
}

void mssql_settings_page::store() {
    vantrel_convertor& converter = wiz_converter();
    converter.set_windows_authentication(windows_auth_radio->isChecked());
    converter.set_host(wiz_text(server_edit).toStdU16String());
    converter.set_user(wiz_text(login_edit).toStdU16String());
    converter.set_password(wiz_text(password_edit).toStdU16String());
    converter.set_as_dbo(dbo_check->isChecked());
}

bool mssql_settings_page::on_wizard_next() {
    store();
    b_connected.store(false);
    connect_dialog dialog(window());
    worker.start([this, &dialog] { test_connection(dialog); });
    dialog.exec();
    worker.join();
    return b_connected.load();
}

void mssql_settings_page::on_wizard_back() { store(); }

void mssql_settings_page::test_connection(connect_dialog& dialog) {
    tk_trace::write(2, "mssql_settings_page::animation::operator()");
    try {
        if (wiz_converter().connect_mssql_server()) {
            b_connected.store(true);
        } else {
            wizard_shell::error(NO_SERVER_TEXT);
        }
    } catch (const tk_exception& failure) {
        wizard_shell::error(connection_failure_text(failure));
    }
    dialog.finish();
}

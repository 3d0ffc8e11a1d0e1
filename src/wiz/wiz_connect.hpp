// wiz_connect.hpp - mssql_settings_page, step 1: the SQL Server, the kind of login and the
// connect-as-owner flag. Next tests the connection on a worker thread while connect_dialog
// animates; only a successful test moves on.
#pragma once

#include <atomic>
#include <cstdint>

#include "tk/tk_thread.hpp"
#include "wiz/wiz_page.hpp"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class connect_dialog;

// The provider's general failure: the server is not there or refused the login.
inline constexpr std::int32_t PROVIDER_GENERAL_FAILURE = 0x4005;

class mssql_settings_page : public wizard_page {
    Q_OBJECT
public:
    mssql_settings_page();
    ~mssql_settings_page() override;

    void page_init() override;
    bool on_wizard_next() override;
    void on_wizard_back() override;

private:
    void store();
    void on_authentication_changed();
    // The worker's body: connects, reports a failure, closes the dialog.
    void test_connection(connect_dialog& dialog);

    QLineEdit* server_edit;
    QRadioButton* windows_auth_radio;
    QRadioButton* sql_auth_radio;
    QLineEdit* login_edit;
    QLineEdit* password_edit;
    QCheckBox* dbo_check;
    std::atomic<bool> b_connected{false};
    tk_thread worker;   // last: joined before the page's controls go
};

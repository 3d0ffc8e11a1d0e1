// wiz_security.hpp - ugl_page, step 2: the Access workgroup information file, user and
// password for databases under user-level security; all empty for any other database.
#pragma once

#include "wiz/wiz_page.hpp"

class QLineEdit;

class ugl_page : public wizard_page {
    Q_OBJECT
public:
    ugl_page();
    void page_init() override;
    bool on_wizard_next() override;
    void on_wizard_back() override;

private:
    void store();
    void on_browse();

    QLineEdit* workgroup_edit;
    QLineEdit* user_edit;
    QLineEdit* user_password_edit;
};

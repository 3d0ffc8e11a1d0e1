// wiz_welcome.hpp - welcome_page, the wizard's first page: its title and "Load Settings",
// which reads a settings profile into the converter.
#pragma once

#include "wiz/wiz_page.hpp"

class QLabel;

class welcome_page : public wizard_page {
    Q_OBJECT
public:
    welcome_page();
    void page_init() override;

private:
    void on_load_settings();

    QLabel* title_label;
};

// wiz_finish.hpp - gui_finish_page, the last page: success, or the run's messages (at most
// 20), and "Save Settings" to keep this conversion's settings as a profile.
#pragma once

#include "wiz/wiz_page.hpp"

class QLabel;
class QPlainTextEdit;

inline constexpr const char* FINISH_SUCCESS_TEXT =
    "Wizard has migrated your MS Access database to\nMS SQL server successfully.\n\n"
    "Click 'Finish' to exit the wizard.";
inline constexpr const char* FINISH_ERRORS_TEXT =
    "There were some errors while converting the database.\nClick 'Finish' to exit the wizard.";

class gui_finish_page : public wizard_page {
    Q_OBJECT
public:
    gui_finish_page();
    void page_init() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void on_eb_focus();
    void on_save_settings();

    QLabel* title_label;
    QLabel* result_label;
    QPlainTextEdit* error_list;
    bool b_first_focus = true;
};

// wiz_page.hpp - wizard_page, the base of the seven pages: the activation (first show, then
// page_init filling the controls from the converter), Next with its validation, Back storing
// the controls, the cancel question, the page's help topic and the progress tick.
#pragma once

#include <QFont>
#include <QString>
#include <QWizardPage>

class QLineEdit;
class QWidget;
class vantrel_convertor;

// Help context ids.
inline constexpr int HELP_NONE = 0;
inline constexpr int HELP_CONNECT = 1010;
inline constexpr int HELP_WELCOME = 1011;
inline constexpr int HELP_EXISTING_DATABASE = 1012;
inline constexpr int HELP_SECURITY = 1013;
inline constexpr int HELP_FILES = 1014;
inline constexpr int HELP_TABLES = 1015;
inline constexpr int HELP_ADD_QUERY = 1025;
inline constexpr int HELP_TROUBLESHOOTING = 1030;

// Settings profiles: their extension and the file dialogs' filter.
inline constexpr const char* PROFILE_EXTENSION = "vantrel";
QString wiz_profile_filter();

// The converter of the run (an internal error when there is none).
vantrel_convertor& wiz_converter();

class wizard_page : public QWizardPage {
    Q_OBJECT
public:
    // Steps 1 to 5 have a header title and subtitle; the welcome and finish pages none.
    wizard_page(int help_topic, const QString& title, const QString& subtitle);
    ~wizard_page() override;

    // Every activation: first show of the shell, then page_init.
    void on_set_active();
    virtual void page_init() {}
    // Stores the controls into the converter and validates; false stays on the page.
    virtual bool on_wizard_next() { return true; }
    virtual void on_wizard_back() {}
    virtual void on_timer() {}
    // The cancel question; true lets the wizard close.
    virtual bool on_cancel();
    void on_help();

    bool validatePage() override { return on_wizard_next(); }
    void cleanupPage() override { on_wizard_back(); }

    // The title font of the welcome and finish pages: Verdana 10 pt bold, or the desktop's
    // sans-serif where Verdana is absent.
    static QFont title_font();

protected:
    void enable_ctrl(QWidget* control, bool on);

private:
    int help_topic;
};

// A line edit's text, cut to the 259 characters the pages read.
QString wiz_text(const QLineEdit* edit);

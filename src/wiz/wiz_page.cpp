// wiz_page.cpp - the page base and the helpers every page shares.
#include "wiz/wiz_page.hpp"

#include <QFontDatabase>
#include <QLineEdit>

#include "conv/vantrel_conv.hpp"
#include "tk/tk_trace.hpp"
#include "wiz/wiz_shell.hpp"

namespace {

// Longest text a page reads from one of its edits.
constexpr int MAX_EDIT_CHARS = 259;

}   // namespace

QString wiz_profile_filter() {
    const QString extension = QString::fromLatin1(PROFILE_EXTENSION);
    return QString("Profile Files (*.%1);;All Files (*.*)").arg(extension);
}

vantrel_convertor& wiz_converter() {
    auto* converter = dynamic_cast<vantrel_convertor*>(&tk_converter::instance());
    TK_ASSERT(converter != nullptr);
    return *converter;
}

QString wiz_text(const QLineEdit* edit) { return edit->text().left(MAX_EDIT_CHARS); }

wizard_page::wizard_page(int new_help_topic, const QString& title, const QString& subtitle)
    : help_topic(new_help_topic) {
    setTitle(title);
    setSubTitle(subtitle);
}

wizard_page::~wizard_page() { tk_trace::write(2, "wizard_page::dtor"); }

void wizard_page::on_set_active() {
    tk_trace::write(1, "wizard_page::OnSetActive");
    wizard_shell::instance().first_show();
    page_init();
}

bool wizard_page::on_cancel() {
    tk_trace::write(2, "wizard_page::on_cancel");
    return wizard_shell::question("Are you sure you want to exit the wizard?");
}

void wizard_page::on_help() {
    if (help_topic != HELP_NONE) wizard_shell::instance().display_help(help_topic);
}

void wizard_page::enable_ctrl(QWidget* control, bool on) {
    tk_trace::write(1, "wizard_page::enable_ctrl(%s=%d)",
                    control->objectName().toUtf8().constData(), on ? 1 : 0);
    control->setEnabled(on);
    if (on) control->setFocus();
}

QFont wizard_page::title_font() {
    QFont font(QFontDatabase::hasFamily("Verdana")
                   ? QString("Verdana")
                   : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    font.setPointSize(10);
    font.setWeight(QFont::Bold);
    return font;
}

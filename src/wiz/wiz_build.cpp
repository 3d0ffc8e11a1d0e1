// wiz_build.cpp - the wizard's assembly. The converter runs silent: the wizard has no console,
// its messages go to the error handler's dialogs. An empty table selection made on step 4
// means none, not all.
#include "wiz/wiz_build.hpp"

#include "conv/vantrel_conv.hpp"
#include "wiz/wiz_connect.hpp"
#include "wiz/wiz_files.hpp"
#include "wiz/wiz_finish.hpp"
#include "wiz/wiz_progress.hpp"
#include "wiz/wiz_security.hpp"
#include "wiz/wiz_shell.hpp"
#include "wiz/wiz_tables.hpp"
#include "wiz/wiz_welcome.hpp"

namespace {

constexpr int VERSION_MAJOR = 3;
constexpr int VERSION_MINOR = 3;
constexpr const char* TITLE_LABEL = "Wizard";

}   // namespace

QString wiz_title() {
    return QString("Vantrel %1.%2 %3").arg(VERSION_MAJOR).arg(VERSION_MINOR).arg(TITLE_LABEL);
}

std::unique_ptr<wizard_shell> wiz_build(vantrel_convertor& converter, const char* profile) {
    Q_INIT_RESOURCE(wiz_art);
    converter.set_silent(true);
    converter.set_empty_selection_means_all(false);
    converter.serialize(false);
    if (profile != nullptr && *profile != '\0' && !converter.load(profile)) {
        wizard_shell::error(QString("The settings could not be read from ") + profile + ".");
    }
    auto shell = std::make_unique<wizard_shell>(wiz_title());
    shell->add_page(new welcome_page());
    shell->add_page(new mssql_settings_page());
    shell->add_page(new ugl_page());
    shell->add_page(new sel_file_page());
    shell->add_page(new sel_tables_page());
    shell->add_page(new progress_page());
    shell->add_page(new gui_finish_page());
    return shell;
}

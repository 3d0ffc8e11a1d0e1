// wiz_help.cpp - context ids to pages and the help window. The window is made once and
// reused, so F1 on several pages does not pile up windows.
#include "wiz/wiz_help.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>

#include "tk/tk_resource_dir.hpp"
#include "wiz/wiz_page.hpp"
#include "wiz/wiz_shell.hpp"

namespace {

struct topic_page {
    int topic_id;
    const char* page;
};

constexpr topic_page TOPIC_PAGES[] = {
    {HELP_WELCOME, "welcome.html"},
    {HELP_CONNECT, "connect.html"},
    {HELP_EXISTING_DATABASE, "existing-database.html"},
    {HELP_SECURITY, "security.html"},
    {HELP_FILES, "databases.html"},
    {HELP_TABLES, "tables.html"},
    {HELP_ADD_QUERY, "add-query.html"},
    {HELP_TROUBLESHOOTING, "troubleshooting.html"},
};

}   // namespace

QString wiz_help_page(int topic_id) {
    for (const topic_page& entry : TOPIC_PAGES) {
        if (entry.topic_id == topic_id) return QString::fromLatin1(entry.page);
    }
    return "index.html";
}

QString wiz_help_folder() {
    // Beside the program in the build folder; installed, under PREFIX/share/vantrel.
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const std::string folder = tk_resource_dir(program.absoluteFilePath().toStdString());
    return QString::fromStdString(folder) + "/" + program.completeBaseName() + ".help";
}

void wiz_show_help(int topic_id) {
    const QString file = wiz_help_folder() + "/" + wiz_help_page(topic_id);
    if (!QFileInfo(file).isFile()) {
        wizard_shell::error("Help file does not exist. Reinstall the program.");
        return;
    }
    static QPointer<QTextBrowser> window;
    if (window.isNull()) {
        window = new QTextBrowser();
        window->setObjectName("helpWindow");
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setOpenExternalLinks(true);
        window->setSearchPaths({wiz_help_folder()});
        window->resize(640, 520);
        auto* close_key = new QShortcut(QKeySequence(Qt::Key_Escape), window);
        QObject::connect(close_key, &QShortcut::activated, window, &QWidget::close);
    }
    window->setSource(QUrl::fromLocalFile(file));
    window->setWindowTitle(window->documentTitle());
    window->show();
    window->raise();
    window->activateWindow();
}

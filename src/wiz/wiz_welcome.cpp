// wiz_welcome.cpp - the welcome page. A profile that cannot be read leaves the settings as
// they were and says so; the pages after this one show whatever was loaded.
#include "wiz/wiz_welcome.hpp"

#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "conv/vantrel_conv.hpp"
#include "tk/tk_trace.hpp"
#include "wiz/wiz_shell.hpp"

welcome_page::welcome_page() : wizard_page(HELP_WELCOME, QString(), QString()) {
    setObjectName("welcomePage");
    setPixmap(QWizard::WatermarkPixmap, QPixmap(":/wiz/watermark.png"));
    title_label = new QLabel("Welcome to the Database\nConversion Wizard\n", this);
    title_label->setObjectName("welcomeTitle");
    auto* intro = new QLabel(
        "This wizard moves a Microsoft Access database (.mdb or .accdb) into a Microsoft "
        "SQL Server database: tables, rows, indexes, defaults and relationships.\n\n"
        "Click 'Next' to continue, or load the settings of an earlier conversion.",
        this);
    intro->setObjectName("welcomeText");
    intro->setWordWrap(true);
    auto* load_button = new QPushButton("&Load Settings", this);
    load_button->setObjectName("loadSettingsButton");
    connect(load_button, &QPushButton::clicked, this, &welcome_page::on_load_settings);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_label);
    layout->addWidget(intro);
    layout->addStretch();
    layout->addWidget(load_button, 0, Qt::AlignLeft);
}

void welcome_page::page_init() {
    tk_trace::write(1, "welcome_page::page_init");
    title_label->setFont(title_font());
}

void welcome_page::on_load_settings() {
    const QString path = QFileDialog::getOpenFileName(this, "Select Profile File", QString(),
                                                      wiz_profile_filter(), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return;
    if (!wiz_converter().load(path.toStdString())) {
        wizard_shell::error("The settings could not be read from " + path + ".");
        return;
    }
    page_init();
}

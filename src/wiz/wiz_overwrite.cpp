// wiz_overwrite.cpp - the existing-database dialog. The first choice is checked when it
// opens, so OK always has a mode; none checked would be our own fault (an assertion).
#include "wiz/wiz_overwrite.hpp"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "tk/tk_exce.hpp"
#include "tk/tk_trace.hpp"
#include "wiz/wiz_shell.hpp"

overwrite_dlg2::overwrite_dlg2(int new_help_topic, const QString& message, QWidget* parent)
    : QDialog(parent), help_topic(new_help_topic) {
    tk_trace::write(1, "overwrite_dlg2::overwrite_dlg2");
    setObjectName("overwriteDialog");
    tk_trace::write(1, "overwrite_dlg2::on_init");
    setWindowTitle(wizard_shell::instance().title() + " Warning");
    auto* message_label = new QLabel(message, this);
    message_label->setObjectName("overwriteMessage");
    const char* const texts[] = {"&Overwrite the entire database",
                                 "Overwrite existing &tables only", "&Skip existing tables",
                                 "&Merge"};
    const char* const names[] = {"overwriteDatabaseRadio", "overwriteTablesRadio",
                                 "skipTablesRadio", "mergeRadio"};
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_label);
    for (std::size_t mode_idx = 0; mode_idx < mode_radios.size(); ++mode_idx) {
        mode_radios[mode_idx] = new QRadioButton(texts[mode_idx], this);
        mode_radios[mode_idx]->setObjectName(names[mode_idx]);
        layout->addWidget(mode_radios[mode_idx]);
    }
    mode_radios[0]->setChecked(true);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
    buttons->button(QDialogButtonBox::Help)->setObjectName("helpButton");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &overwrite_dlg2::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &overwrite_dlg2::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { wizard_shell::instance().display_help(this->help_topic); });
    QApplication::beep();
}

void overwrite_dlg2::accept() {
    for (std::size_t mode_idx = 0; mode_idx < mode_radios.size(); ++mode_idx) {
        if (!mode_radios[mode_idx]->isChecked()) continue;
        chosen_mode = static_cast<std::int32_t>(mode_idx);
        QDialog::accept();
        return;
    }
    throw tk_mail_assertion(OVERWRITE_SOURCE, FAULT_OVERWRITE_NO_MODE);
}

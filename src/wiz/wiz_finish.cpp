// wiz_finish.cpp - the finish page. A run given up at its top (the source or destination
// could not be opened) is not reported as a success even when its failure left no message
// in the list (a failure outside the toolkit's family is only traced).
#include "wiz/wiz_finish.hpp"

#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "conv/vantrel_conv.hpp"
#include "tk/tk_trace.hpp"
#include "wiz/wiz_shell.hpp"

gui_finish_page::gui_finish_page() : wizard_page(HELP_NONE, QString(), QString()) {
    tk_trace::write(2, "gui_finish_page::ctor");
    setObjectName("finishPage");
    setPixmap(QWizard::WatermarkPixmap, QPixmap(":/wiz/watermark.png"));
    title_label = new QLabel("Conversion is Completed", this);
    title_label->setObjectName("finishTitle");
    result_label = new QLabel(this);
    result_label->setObjectName("resultLabel");
    result_label->setWordWrap(true);
    error_list = new QPlainTextEdit(this);
    error_list->setObjectName("errorList");
    error_list->setReadOnly(true);
    error_list->hide();
    error_list->installEventFilter(this);
    auto* save_button = new QPushButton("&Save Settings", this);
    save_button->setObjectName("saveSettingsButton");
    connect(save_button, &QPushButton::clicked, this, &gui_finish_page::on_save_settings);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_label);
    layout->addWidget(result_label);
    layout->addWidget(error_list, 1);
    layout->addStretch();
    layout->addWidget(save_button, 0, Qt::AlignLeft);
}

void gui_finish_page::page_init() {
    tk_trace::write(2, "gui_finish_page::page_init");
    title_label->setFont(title_font());
    wizard_shell& shell = wizard_shell::instance();
    shell.enable_button(QWizard::CancelButton, false);
    shell.enable_button(QWizard::HelpButton, false);
    const std::vector<std::string> errors = shell.errors();
    if (errors.empty() && !wiz_converter().is_abandoned()) {
        tk_trace::write(2, "Display success-message");
        result_label->setText(FINISH_SUCCESS_TEXT);
        return;
    }
    tk_trace::write(2, "Display errors");
    result_label->setText(FINISH_ERRORS_TEXT);
    QString text;
    for (const std::string& message : errors) {
        text += QString::fromStdString(message).replace('\n', ' ') + "\n\n";
    }
    error_list->setPlainText(text);
    error_list->setVisible(!errors.empty());
}

bool gui_finish_page::eventFilter(QObject* watched, QEvent* event) {
    if (watched == error_list && event->type() == QEvent::FocusIn) on_eb_focus();
    return wizard_page::eventFilter(watched, event);
}

void gui_finish_page::on_eb_focus() {
    tk_trace::write(1, "gui_finish_page::on_eb_focus");
    if (!b_first_focus) return;
    b_first_focus = false;
    error_list->moveCursor(QTextCursor::End);
    error_list->ensureCursorVisible();
    wizard_shell::instance().button(QWizard::FinishButton)->setFocus();
}

void gui_finish_page::on_save_settings() {
    QFileDialog dialog(this, "Select Profile File", QString(), wiz_profile_filter());
    dialog.setObjectName("saveProfileDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(PROFILE_EXTENSION);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().first();
    if (!wiz_converter().save(path.toStdString())) {
        wizard_shell::error("The settings could not be saved to " + path + ".");
    }
}

// wiz_connect_dialog.cpp - the animation. finish() is queued to the dialog's own thread, so a
// worker that ends before exec() has started still closes it.
#include "wiz/wiz_connect_dialog.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>

#include "wiz/wiz_shell.hpp"

connect_dialog::connect_dialog(QWidget* parent) : QDialog(parent) {
    setObjectName("connectDialog");
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint & ~Qt::WindowContextHelpButtonHint);
    if (wizard_shell::is_registered()) setWindowTitle(wizard_shell::instance().title());
    for (int frame_idx = 0; frame_idx < CONNECT_FRAME_COUNT; ++frame_idx) {
        frames[frame_idx] = QPixmap(QString(":/wiz/frame%1.png").arg(frame_idx + 1));
    }
    icon_label = new QLabel(this);
    icon_label->setObjectName("animationFrame");
    icon_label->setPixmap(frames[0]);
    auto* text = new QLabel("Connecting to MS SQL server. Please wait...", this);
    text->setObjectName("connectingText");
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(icon_label);
    layout->addWidget(text);
    animation_timer.setObjectName("animationTimer");
    connect(&animation_timer, &QTimer::timeout, this, &connect_dialog::show_next_frame);
    animation_timer.start(CONNECT_FRAME_MILLISECONDS);
}

void connect_dialog::finish() { QMetaObject::invokeMethod(this, "end_now", Qt::QueuedConnection); }

void connect_dialog::end_now() {
    animation_timer.stop();
    accept();
}

void connect_dialog::show_next_frame() {
    frame = (frame + 1) % CONNECT_FRAME_COUNT;
    icon_label->setPixmap(frames[frame]);
}

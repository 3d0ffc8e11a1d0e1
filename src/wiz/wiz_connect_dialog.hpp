// wiz_connect_dialog.hpp - connect_dialog, the "Please wait" window of the connection test:
// eight frames turning every 500 ms, no buttons; only the worker closes it (finish()).
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QTimer>

#include <array>

class QLabel;

inline constexpr int CONNECT_FRAME_COUNT = 8;
inline constexpr int CONNECT_FRAME_MILLISECONDS = 500;

class connect_dialog : public QDialog {
    Q_OBJECT
public:
    explicit connect_dialog(QWidget* parent);

    // From any thread: ends the dialog once its event loop runs.
    void finish();
    int frame_index() const { return frame; }

public slots:
    // Escape and the close box do nothing: the test cannot be abandoned half way.
    void reject() override {}

private:
    // finish() queues this by name: a queued lambda from the worker would hand its captures
    // over through Qt's internal locks, which the thread checker cannot see.
    Q_INVOKABLE void end_now();
    void show_next_frame();

    std::array<QPixmap, CONNECT_FRAME_COUNT> frames;
    QLabel* icon_label;
    QTimer animation_timer;
    int frame = 0;
};

// wiz_startup.hpp - what must hold before the wizard can open a window: a Qt at least as new
// as the one it was built against, and a display for the platform plugin. Checked before
// QApplication exists, because Qt ends the process itself when it cannot open a display.
#pragma once

#include <string>

// The text to show and end with, or empty when the wizard can start. `platform` is the
// plugin asked for (QT_QPA_PLATFORM, or empty for the default), `display` and `wayland`
// the DISPLAY and WAYLAND_DISPLAY variables (empty when unset).
std::string wiz_startup_problem(const std::string& runtime_qt_version, const std::string& platform,
                                const std::string& display, const std::string& wayland);

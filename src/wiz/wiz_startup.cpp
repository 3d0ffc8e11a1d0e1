// wiz_startup.cpp - the start-up check. Platforms that draw without a display server
// (offscreen, minimal, vnc, eglfs, linuxfb) need no display variable.
#include "wiz/wiz_startup.hpp"

#include <QtGlobal>

#include <cstdio>

namespace {

// "6.4.2" as 0x060402; parts that are missing count as 0.
int version_number(const std::string& text) {
    int major = 0;
    int minor = 0;
    int patch = 0;
    std::sscanf(text.c_str(), "%d.%d.%d", &major, &minor, &patch);
    return (major << 16) | (minor << 8) | patch;
}

bool starts_with(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}   // namespace

std::string wiz_startup_problem(const std::string& runtime_qt_version, const std::string& platform,
                                const std::string& display, const std::string& wayland) {
    if (version_number(runtime_qt_version) < QT_VERSION) {
        return std::string("Incorrect version of the Qt library. Qt ") + QT_VERSION_STR
               + "\nor later is required to proceed with the application.";
    }
    const bool b_no_display = platform.empty()               ? display.empty() && wayland.empty()
                              : starts_with(platform, "xcb") ? display.empty()
                              : starts_with(platform, "wayland") ? wayland.empty()
                                                                 : false;
    if (b_no_display) {
        return "Failed to initialize GUI library: no display could be opened.\n"
               "Start the wizard on a graphical desktop (DISPLAY or WAYLAND_DISPLAY).";
    }
    return std::string();
}

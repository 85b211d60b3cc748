#pragma once
// Which of Qt's display plugins the window can start on, decided before the
// QApplication exists: Qt aborts the program when the plugin it picks is
// missing, so a Wayland session without qt6-wayland falls back to X11 where
// an X server is there, or is refused with one sentence.
#include <QString>
#include <functional>

namespace kt {

struct DisplayChoice {
    QString platform;  // for QT_QPA_PLATFORM; empty: Qt's own choice
    QString refusal;   // non-empty: no display the window can use
};

// `environment` reads a variable, `hasPlugin` says whether a platform plugin
// ("wayland", "xcb") is installed; `platformArgument` is whether -platform
// was given.
DisplayChoice chooseDisplay(const std::function<QString(const char*)>& environment,
                            const std::function<bool(const QString&)>& hasPlugin,
                            bool platformArgument);

// The same against the process's environment and Qt's plugin folders.
DisplayChoice chooseDisplay(int argc, char* argv[]);

}  // namespace kt

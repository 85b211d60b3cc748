#include "app/window/display_choice.h"

#include <QDir>
#include <QLibraryInfo>
#include <QStringList>
#include <cstring>

namespace kt {

DisplayChoice chooseDisplay(const std::function<QString(const char*)>& environment,
                            const std::function<bool(const QString&)>& hasPlugin,
                            bool platformArgument) {
    // Whoever names a plugin gets it, Qt's errors included.
    if (platformArgument || !environment("QT_QPA_PLATFORM").isEmpty()) return {};
    const bool wayland =
        !environment("WAYLAND_DISPLAY").isEmpty() || environment("XDG_SESSION_TYPE") == u"wayland";
    const bool x11 = !environment("DISPLAY").isEmpty();
    if (wayland && hasPlugin(QStringLiteral("wayland"))) return {};
    if (x11) return {wayland ? QStringLiteral("xcb") : QString(), {}};
    if (wayland) {
        return {
            {},
            QStringLiteral("kttools: this Wayland session has no X11 display to fall back "
                           "to, and Qt's Wayland plugin is not installed: install qt6-wayland.")};
    }
    return {{},
            QStringLiteral("kttools: no display: neither WAYLAND_DISPLAY nor DISPLAY is set "
                           "(ktcli runs the same operations without one).")};
}

DisplayChoice chooseDisplay(int argc, char* argv[]) {
    bool platformArgument = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            platformArgument = true;
    }
    const auto environment = [](const char* name) { return qEnvironmentVariable(name); };
    const auto hasPlugin = [](const QString& name) {
        QStringList folders =
            qEnvironmentVariable("QT_PLUGIN_PATH").split(u':', Qt::SkipEmptyParts);
        folders << QLibraryInfo::path(QLibraryInfo::PluginsPath);
        // "wayland" is libqwayland-generic.so (and -egl), "xcb" libqxcb.so.
        const QStringList files{QStringLiteral("libq%1.so").arg(name),
                                QStringLiteral("libq%1-*.so").arg(name)};
        for (const QString& folder : folders) {
            if (!QDir(folder + QStringLiteral("/platforms"))
                     .entryList(files, QDir::Files)
                     .isEmpty())
                return true;
        }
        return false;
    };
    return chooseDisplay(environment, hasPlugin, platformArgument);
}

}  // namespace kt

// kttools: the window program.
#include "app/window/display_choice.h"
#include "app/window/tfrm_module.h"
#include "version/version.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <cstring>
#include <exception>

namespace {

constexpr const char* kHelp = R"(Usage: kttools [--help | --version]

The window with which a service technician finds a KT350, KT460 or related
serial access-control controller, identifies it, drives its commands and sets
up the reader and I/O modules on its bus, over a local serial port or over TCP
to a serial-to-network converter. English, Simplified and Traditional Chinese.

Options:
  -h, --help            this text
  --version             the program's name, version and git commit

Qt's own options (-platform NAME, -style NAME, ...) go to the toolkit.
Serial ports need membership of the dialout group.
)";

// --help and --version are answered before the window exists, so they work
// without a display (a QApplication without one aborts the program).
bool answeredCommandLine(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts(qPrintable(kt::VersionLine(QStringLiteral("kttools"))));
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (answeredCommandLine(argc, argv)) return 0;
    const kt::DisplayChoice display = kt::chooseDisplay(argc, argv);
    if (!display.refusal.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(display.refusal));
        return 1;
    }
    if (!display.platform.isEmpty()) qputenv("QT_QPA_PLATFORM", display.platform.toLocal8Bit());
    QApplication app(argc, argv);
    // The application's own title (the task bar's and the error box's); the
    // window's caption is the localised one. Not the display name: on X11
    // Qt would append that to every window title.
    QApplication::setApplicationName(QStringLiteral("KT350 KT460 Tools"));
    // Lets a Wayland desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.kestrane.kttools"));
    // X11 takes the window's icon from the window itself: the installed
    // theme's, else the one built in.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.kestrane.kttools"),
                                                 QIcon(QStringLiteral(":/icons/kttools.png"))));
    try {
        kt::TfrmModule window(kt::makeSystemTone());
        window.show();
        app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationName(),
                              QString::fromLocal8Bit(e.what()));
    }
    return 0;
}

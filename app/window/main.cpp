// kttools: the window program.
#include "tfrm_module.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The application's own title (the task bar's and the error box's); the
    // window's caption is the localised one. Not the display name: on X11
    // Qt would append that to every window title.
    QApplication::setApplicationName(QStringLiteral("KT350 KT460 Tools"));
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

// kttools: the window program.
#include "tfrm_module.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("KT350 KT460 Tools"));
    try {
        kt::TfrmModule window(kt::makeSystemTone());
        window.show();
        app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationDisplayName(),
                              QString::fromLocal8Bit(e.what()));
    }
    return 0;
}

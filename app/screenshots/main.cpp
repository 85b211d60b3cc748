// kttools_screenshots OUTDIR [--connect] [--pty PATH] [--pause HOST:PORT]
//
// Shows the real window, as kttools does, and writes a PNG of it for every
// visible page in each language: OUTDIR/<language>-<page>.png, the port page
// on NET throughout and once on COM, plus the open Language menu, the open
// port list, the traffic monitor and a failure with its cause. With
// --connect it first presses Connect (the traffic monitor open), so the
// panels show a controller (point the stored settings at a ktsim). With
// --pty, a ktsim's pty whose line runs at a speed other than 19200,e,8,1, it
// also opens the File menu on the COM page, runs "Find line speed" and
// "Module survey" there, and writes the menu, the window after the scan, and
// the survey's window in each language. With --pause, a family-4 ktsim at
// HOST:PORT is rebooted and the window pictured in the middle of its 3.5 s
// wait. In each language it also pictures the question before Set factory;
// the traffic monitor shows a pause's marker row; and with --silent
// HOST:PORT, a ktsim that never answers "DG0", the DIDO test's line once
// the controller is silent. The tone is silent. Exits 1 when a page or menu item it expects is
// missing, after writing all it could.
#include "app/tone.h"
#include "app/window/tfrm_module.h"
#include "app/window/traffic_monitor.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <string_view>

namespace {

QTextStream err(stderr);

// Lets the window settle: pending events, the repaint they cause, and the
// X server's copy of it.
void settle(int ms = 150) {
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

// Operations run on the window's worker: this returns when the one started
// last has ended (at most two minutes).
void awaitOperation(const kt::TfrmModule& window) {
    const QDeadlineTimer deadline(120000);
    while (window.operationRunning() && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool save(const QPixmap& picture, const QString& path) {
    if (picture.isNull() || !picture.save(path)) {
        err << "could not write " << path << "\n";
        return false;
    }
    QTextStream(stdout) << path << "\n";
    return true;
}

// The window as the X server shows it, menu bar included.
bool grabWindow(QWidget& window, const QString& path) {
    settle();
    return save(window.screen()->grabWindow(window.winId()), path);
}

// The screen around the window and a popup or tooltip of its own.
bool grabArea(QWidget& window, const QRect& popup, const QString& path) {
    settle(300);
    const QRect area = window.frameGeometry().united(popup);
    return save(window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()),
                path);
}

// A named object of the window; a missing one is reported and spoils the
// exit status, and the run goes on without it.
template <typename T>
T* find(QWidget& window, const char* name, bool& complete) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        err << "no " << name << " in the window\n";
        complete = false;
    }
    return found;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("KT350 KT460 Tools"));
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        err << "usage: kttools_screenshots OUTDIR [--connect]\n";
        return 2;
    }
    const QDir out(args[1]);
    if (!QDir().mkpath(out.path())) {
        err << "cannot create " << out.path() << "\n";
        return 2;
    }

    // A fixed port list, so the pictures do not depend on this machine.
    kt::TfrmModule window(std::make_unique<kt::RecordingTone>(), [] {
        return QList<kt::SerialPortRecord>{
            {QStringLiteral("ttyS0"), {}, {}, {}, false},
            {QStringLiteral("ttyUSB0"), QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
             QStringLiteral("A50285BI"), true},
            {QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"),
             QStringLiteral("-> ttyUSB0"),
             {},
             {},
             true}};
    });
    window.show();
    const QDeadlineTimer exposed(5000);
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && !exposed.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!window.windowHandle() || !window.windowHandle()->isExposed()) {
        err << "the window was never shown: is there a display?\n";
        return 1;
    }
    settle(300);

    bool complete = true;
    auto* pcMain = find<QTabWidget>(window, "pcMain", complete);
    auto* pcPort = find<QTabWidget>(window, "pcPort", complete);
    auto* tsNet = find<QWidget>(window, "tsNet", complete);
    auto* tsCom = find<QWidget>(window, "tsCom", complete);

    // The traffic monitor beside the window, listing the Connect's frames.
    if (auto* traffic = find<QAction>(window, "mnuTraffic", complete)) traffic->trigger();
    window.activateWindow();

    auto* connect = find<QPushButton>(window, "btnConnect", complete);
    if (args.contains(QStringLiteral("--connect")) && connect) {
        if (pcPort && tsNet) pcPort->setCurrentWidget(tsNet);
        connect->click();
        awaitOperation(window);
    }
    auto* edIP = find<QLineEdit>(window, "edIP", complete);
    auto* edPort = find<QLineEdit>(window, "edPort", complete);
    auto* pnMsg = find<QLabel>(window, "pnMsg", complete);
    auto* cmbPort = find<QComboBox>(window, "cmbPort", complete);
    const QString shownIP = edIP ? edIP->text() : QString();
    const QString shownPort = edPort ? edPort->text() : QString();
    // Out of the other pictures; it keeps what it listed while hidden.
    kt::TrafficMonitor* monitor = window.trafficMonitor();
    if (monitor) monitor->hide();

    struct Page {
        const char* name;
        const char* file;
    };
    const Page pages[] = {{"tsTest", "basic-test"},
                          {"tsSetCtrl", "controller"},
                          {"tsSetV7", "v7-module"},
                          {"tsSetV5", "v5-module"},
                          {"tsCommand", "command-test"}};
    struct Language {
        const char* action;
        const char* file;
    };
    const Language languages[] = {{"mnuEnglish", "english"},
                                  {"mnuSimplified", "simplified"},
                                  {"mnuTraditional", "traditional"}};

    for (const Language& language : languages) {
        auto* choose = find<QAction>(window, language.action, complete);
        if (!choose) continue;
        choose->trigger();
        const QString prefix = QString::fromLatin1(language.file) + u'-';

        if (pcPort && tsNet) pcPort->setCurrentWidget(tsNet);
        for (const Page& page : pages) {
            auto* widget = find<QWidget>(window, page.name, complete);
            if (!pcMain || !widget) continue;
            pcMain->setCurrentWidget(widget);
            complete &=
                grabWindow(window, out.filePath(prefix + QLatin1String(page.file) + ".png"));
        }
        if (pcMain && pcPort && tsCom) {
            if (auto* first = window.findChild<QWidget*>(QStringLiteral("tsTest")))
                pcMain->setCurrentWidget(first);
            pcPort->setCurrentWidget(tsCom);
            complete &= grabWindow(window, out.filePath(prefix + "com-port.png"));
            if (tsNet) pcPort->setCurrentWidget(tsNet);
        }

        // The port list open, on the COM page.
        if (pcPort && tsCom && cmbPort) {
            pcPort->setCurrentWidget(tsCom);
            cmbPort->showPopup();
            const QWidget* list = cmbPort->view()->window();
            complete &=
                grabArea(window, list->frameGeometry(), out.filePath(prefix + "port-list.png"));
            cmbPort->hidePopup();
            if (tsNet) pcPort->setCurrentWidget(tsNet);
        }

        // The traffic monitor in this language, after a pause that hid a
        // Connect's frames: its marker row is the last.
        if (monitor) {
            monitor->show();
            if (connect && language.file == std::string_view("english")) {
                if (auto* pause =
                        monitor->findChild<QPushButton*>(QStringLiteral("btnTrafficPause"))) {
                    pause->click();
                    connect->click();
                    awaitOperation(window);
                    pause->click();
                }
            }
            settle(200);
            complete &= grabWindow(*monitor, out.filePath(prefix + "traffic-monitor.png"));
            monitor->hide();
            window.activateWindow();
        }

        // A converter that refuses: the table's text, then the cause, and the
        // whole line in the tooltip.
        if (connect && edIP && edPort && pnMsg && pcPort && tsNet) {
            pcPort->setCurrentWidget(tsNet);
            edIP->setText(QStringLiteral("127.0.0.1"));
            edPort->setText(QStringLiteral("1"));
            connect->click();
            awaitOperation(window);
            QToolTip::showText(pnMsg->mapToGlobal(QPoint(8, pnMsg->height())), pnMsg->toolTip(),
                               pnMsg);
            QRect tip;
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->inherits("QTipLabel") && top->isVisible()) tip = top->frameGeometry();
            complete &= grabArea(window, tip, out.filePath(prefix + "failure-cause.png"));
            QToolTip::hideText();
            edIP->setText(shownIP);
            edPort->setText(shownPort);
        }

        // The question before Set factory, answered No: nothing is sent.
        if (auto* initial = find<QPushButton>(window, "btnInitial", complete)) {
            if (pcMain)
                if (auto* first = window.findChild<QWidget*>(QStringLiteral("tsTest")))
                    pcMain->setCurrentWidget(first);
            QTimer::singleShot(400, &window, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) {
                    err << "no question before Set factory\n";
                    complete = false;
                    return;
                }
                settle(200);
                const QRect area = window.frameGeometry().united(box->frameGeometry());
                complete &= save(
                    window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()),
                    out.filePath(prefix + "set-factory-question.png"));
                box->button(QMessageBox::No)->click();
            });
            initial->click();  // the question is modal: this returns once it is answered
            awaitOperation(window);
        }

        // The Language menu open over the window: each language's name in
        // its own glyph forms. A popup is a window of its own, so the picture
        // is of the screen around both.
        if (auto* menu = window.findChild<QMenu*>(QStringLiteral("mnuLanguage"))) {
            QMenuBar* bar = window.menuBar();
            const QRect item = bar->actionGeometry(menu->menuAction());
            menu->popup(bar->mapToGlobal(item.bottomLeft()));
            settle(300);
            const QRect area = window.frameGeometry().united(menu->geometry());
            complete &= save(
                window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()),
                out.filePath(prefix + "language-menu.png"));
            menu->hide();
            settle(100);
        }
    }
    // A controller that answers Connect but never "DG0": the DIDO test's
    // line says since when nothing answers, and the lamps are grey.
    const qsizetype silentAt = args.indexOf(QStringLiteral("--silent"));
    auto* dido = find<QPushButton>(window, "btnDIDO", complete);
    if (silentAt > 0 && silentAt + 1 < args.size() && connect && edIP && edPort && pcPort &&
        tsNet && dido && pnMsg) {
        const QString endpoint = args[silentAt + 1];
        pcPort->setCurrentWidget(tsNet);
        edIP->setText(endpoint.section(u':', 0, 0));
        edPort->setText(endpoint.section(u':', 1));
        connect->click();
        awaitOperation(window);
        if (pcMain)
            if (auto* first = window.findChild<QWidget*>(QStringLiteral("tsTest")))
                pcMain->setCurrentWidget(first);
        QTimer ticks;
        ticks.setInterval(100);
        QObject::connect(&ticks, &QTimer::timeout, &window, [&] {
            if (!pnMsg->text().contains(u':')) return;
            ticks.stop();
            for (const Language& language : languages) {
                if (auto* choose = find<QAction>(window, language.action, complete))
                    choose->trigger();
                settle(200);
                complete &= grabWindow(window, out.filePath(QString::fromLatin1(language.file) +
                                                            "-silent-controller.png"));
            }
            if (auto* english = window.findChild<QAction*>(QStringLiteral("mnuEnglish")))
                english->trigger();
            dido->click();  // cancels
        });
        ticks.start();
        // Tied to the ticks, so that it goes with them.
        QTimer::singleShot(20000, &ticks, [&] {
            if (!ticks.isActive()) return;
            err << "the DIDO test never showed the silent controller\n";
            complete = false;
            ticks.stop();
            dido->click();
        });
        dido->click();
        awaitOperation(window);  // the test has wound down
        edIP->setText(shownIP);
        edPort->setText(shownPort);
    }
    const qsizetype ptyAt = args.indexOf(QStringLiteral("--pty"));
    if (ptyAt > 0 && ptyAt + 1 < args.size()) {
        auto* english = find<QAction>(window, "mnuEnglish", complete);
        auto* file = find<QMenu>(window, "mnuFile", complete);
        auto* findSpeed = find<QAction>(window, "mnuFindSpeed", complete);
        auto* survey = find<QAction>(window, "mnuModuleSurvey", complete);
        auto* port = find<QComboBox>(window, "cmbPort", complete);
        auto* speed = find<QComboBox>(window, "cmbBaudrate", complete);
        if (english && file && findSpeed && survey && port && speed && pcPort && tsCom) {
            english->trigger();
            pcPort->setCurrentWidget(tsCom);
            port->setEditText(args[ptyAt + 1]);
            speed->setCurrentIndex(speed->findText(QStringLiteral("19200,e,8,1")));
            // The File menu open on the COM page: both items enabled.
            settle(300);
            QMenuBar* bar = window.menuBar();
            bar->setActiveAction(file->menuAction());
            settle(300);
            if (!file->isVisible()) err << "the File menu did not open\n";
            const QRect area = window.frameGeometry().united(file->geometry());
            complete &= save(
                window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()),
                out.filePath("english-file-menu.png"));
            file->hide();
            settle(100);
            findSpeed->trigger();
            awaitOperation(window);
            complete &= grabWindow(window, out.filePath("english-find-speed.png"));
            survey->trigger();  // about 25 s on a pty
            awaitOperation(window);
            QWidget* surveyWindow = nullptr;
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == u"frmModuleSurvey") surveyWindow = top;
            if (!surveyWindow) {
                err << "no frmModuleSurvey after the survey\n";
                complete = false;
            } else {
                surveyWindow->move(window.frameGeometry().topLeft() + QPoint(120, 200));
                for (const Language& language : languages) {
                    if (auto* choose = find<QAction>(window, language.action, complete))
                        choose->trigger();
                    complete &= grabWindow(
                        *surveyWindow,
                        out.filePath(QString::fromLatin1(language.file) + "-module-survey.png"));
                }
            }
        }
    }
    // A family-4 controller rebooted: in the middle of the 3.5 s wait the
    // window is disabled, yet repaints, its lamp blinks and its clock ticks.
    const qsizetype pauseAt = args.indexOf(QStringLiteral("--pause"));
    if (pauseAt > 0 && pauseAt + 1 < args.size() && connect && edIP && edPort && pcPort && tsNet) {
        if (auto* english = window.findChild<QAction*>(QStringLiteral("mnuEnglish")))
            english->trigger();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == u"frmModuleSurvey") top->hide();  // out of the picture
        const QString endpoint = args[pauseAt + 1];
        pcPort->setCurrentWidget(tsNet);
        edIP->setText(endpoint.section(u':', 0, 0));
        edPort->setText(endpoint.section(u':', 1));
        connect->click();
        awaitOperation(window);
        if (auto* reboot = find<QPushButton>(window, "btnReboot", complete)) {
            QTimer::singleShot(2200, &window, [&] {
                complete &=
                    grabWindow(window, out.filePath(QStringLiteral("english-reboot-wait.png")));
            });
            reboot->click();
            awaitOperation(window);  // after the wait and the last "AS"
        }
    }
    return complete ? 0 : 1;
}

#include "app/window/tfrm_module.h"

#include "app/catalogues.h"
#include "app/fonts.h"
#include "app/window/window_menu.h"
#include "controller/connect.h"
#include "ui_tfrm_module.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>

namespace kt {

TfrmModule::TfrmModule(std::unique_ptr<Tone> tone, PortLister listPorts, QWidget* parent)
    : QMainWindow(parent),
      ui(std::make_unique<Ui::TfrmModule>()),
      tone_(std::move(tone)),
      listPorts_(std::move(listPorts)),
      worker_(std::make_unique<LinkWorker>()) {
    ui->setupUi(this);
    OperationRunner::Window shown;
    shown.form = this;
    shown.status = ui->pnMsg;
    shown.lamp = ui->shComm;
    shown.tone = tone_.get();
    shown.takePort = [this] { return session_->takePortPage(); };
    runner_ = std::make_unique<OperationRunner>(std::move(shown), *worker_);
    session_ = std::make_unique<WindowSession>(*runner_, *tone_);
    session_->versionText = [this] { return ui->pnVER->text().toLatin1(); };
    applyDesignFonts();
    // Panels show controller and file bytes: never as rich text, and with
    // every space kept (a poll record holds two in a row).
    for (QLabel* label : findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);

    // Hidden in this configuration, and nothing shows them: the function
    // page and the firmware upgrade (the form hides its menu item).
    ui->pcMain->setTabVisible(ui->pcMain->indexOf(ui->tsFunction), false);
    ui->pcMain->setTabVisible(ui->pcMain->indexOf(ui->tsFirmware), false);

    // A fixed client area of 680 x 614 below the menu bar; the window follows
    // the menu bar's height, which changes with the language's font.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    centralWidget()->setFixedSize(680, 614);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    menu_ = std::make_unique<WindowMenu>(*this, *ui, *session_, worker_->link());
    FormCreate();
}

// The monitor stops listening first; then a continuous test is told to stop
// and the worker is cancelled and joined, before anything its queued
// reports would reach goes away.
TfrmModule::~TfrmModule() {
    menu_->stopTraffic();
    runner_->stopTest();
    worker_.reset();
}

void TfrmModule::FormCreate() {
    session_->deviceAddress = "0000";
    session_->fields = loadSettings();
    session_->language = Catalogues::languageForFlag(session_->fields.LanguageFlag);
    attachPages();
    ui->pcPort->showFields();
    menu_->updateFindSpeedEnabled();
}

// Each page gets the session; what one page does that another shows passes
// through here.
void TfrmModule::attachPages() {
    ui->pcPort->attach(*session_, listPorts_);
    ui->tsTest->attach(*session_);
    ui->tsCommand->attach(*session_);
    ui->tsFirmware->attach(*session_);
    ui->tsSetCtrl->attach(*session_);
    ui->tsSetV7->attach(*session_);
    ui->tsSetV5->attach(*session_);
    session_->deviceButtons = {ui->btnConnect};
    session_->deviceButtons << ui->tsTest->deviceButtons() << ui->tsSetCtrl->deviceButtons()
                            << ui->tsFirmware->deviceButtons() << ui->tsSetV7->deviceButtons()
                            << ui->tsSetV5->deviceButtons() << ui->tsCommand->deviceButtons();

    connect(ui->btnConnect, &QPushButton::clicked, this,
            handler(this, &TfrmModule::btnConnectClick));
    connect(ui->sbID, &QScrollBar::valueChanged, this, handler(this, &TfrmModule::sbIDChange));
    connect(ui->tsTest, &BasicPage::lineSpeedChanged, ui->pcPort, &PortPage::showLineSpeed);
    QTabWidget* pages = ui->pcMain;
    connect(ui->tsTest, &BasicPage::testStarted, this, [this, pages] {
        for (QWidget* page :
             {static_cast<QWidget*>(ui->tsFunction), static_cast<QWidget*>(ui->tsCommand),
              static_cast<QWidget*>(ui->tsFirmware)})
            pages->setTabVisible(pages->indexOf(page), false);
    });
    connect(ui->tsTest, &BasicPage::testEnded, this, [this, pages] {
        // The function and firmware pages stay hidden, as they are from the start.
        pages->setTabVisible(pages->indexOf(ui->tsCommand), true);
        menu_->updateFindSpeedEnabled();
    });
    connect(ui->pcPort, &PortPage::findSpeedChanged, menu_.get(),
            &WindowMenu::updateFindSpeedEnabled);
    connect(menu_.get(), &WindowMenu::languageChanged, this, handler(this, &TfrmModule::FormShow));

    // Enter anywhere in the window presses the default button, Connect; on
    // a focused push button it presses that one. Qt knows default buttons
    // only in dialogs, and an edit passes Enter on.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, handler(this, &TfrmModule::enterPressed));
    }
}

// The Connect button: find the controller on the chosen port, learn its
// address, model, version and serial number (controller/connect.h), and
// show them.
void TfrmModule::btnConnectClick() {
    if (runner_->running()) return;
    session_->controllerFamily = Family::Unknown;
    ui->tsTest->showInputsAndOutputs(false);

    ConnectObserver observer;
    observer.attemptFailed = runner_->countdownShower("Connecting device ...");
    observer.addressFound = [this](const QByteArray& address, bool familyFour) {
        runner_->onWindow([this, address, familyFour] {
            ui->pnVER->clear();
            ui->pnSN->clear();
            session_->deviceAddress = address;
            bool number = false;
            const int position = QString::fromLatin1(address).toInt(&number, 10);
            if (number) ui->sbID->setValue(position);
            if (familyFour) {
                session_->controllerFamily = Family::ThreeDigit;
                ui->tsTest->showInputsAndOutputs(true);
            }
            // The controller answered on these entries: keep them.
            session_->SavePortSettings();
        });
    };

    runner_->start([this, observer, idText = ui->pnID->text().toLatin1()](Link& link) {
        const ConnectResult result = Connect(link, idText, observer);
        if (result.outcome == ConnectResult::Outcome::NotFound)
            return OperationRunner::Ending::NotFound;
        runner_->onWindow([this, result] {
            session_->deviceAddress = result.address;
            session_->controllerFamily = result.family;
            ui->pnVER->setText(QString::fromLatin1(result.versionText));
            ui->pnSN->setText(QString::fromLatin1(result.serialText));
        });
        return result.outcome == ConnectResult::Outcome::Identified
                   ? OperationRunner::Ending::Ok
                   : OperationRunner::Ending::Error;
    });
}

void TfrmModule::enterPressed() {
    auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
    if (focused && isAncestorOf(focused)) {
        focused->click();
        return;
    }
    ui->btnConnect->click();
}

// The forms name the design's faces and their pixel heights (property
// pixelHeight); here they become installed families at those heights.
void TfrmModule::applyDesignFonts() {
    QList<QWidget*> widgets = findChildren<QWidget*>();
    widgets.prepend(this);
    for (QWidget* widget : widgets) {
        const QVariant pixelHeight = widget->property(kPixelHeight);
        if (!pixelHeight.isValid()) continue;
        const QFont design = widget->font();
        widget->setFont(designFont(design.family(), pixelHeight.toInt(), design.bold()));
    }
}

void TfrmModule::sbIDChange(int position) {
    ui->pnID->setText(QString::asprintf("%04d", position));
}

TrafficMonitor* TfrmModule::trafficMonitor() const {
    return menu_->trafficMonitor();
}

void TfrmModule::setFirmwareFileChooser(FirmwarePage::FirmwareFileChooser chooser) {
    ui->tsFirmware->setFirmwareFileChooser(std::move(chooser));
}

// The language menu shows its choice at once (FormShow); a catalogue
// installed from elsewhere is followed when Qt's LanguageChange arrives.
void TfrmModule::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange && shownBefore_ &&
        Catalogues::installed() != session_->language) {
        session_->language = Catalogues::installed();
        FormShow();
    }
    QMainWindow::changeEvent(event);
}

void TfrmModule::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
        if (!shownBefore_) {
            shownBefore_ = true;
            layout()->activate();
            if (const QScreen* where = screen())
                move(where->availableGeometry().center() - rect().center());
        }
    }
    QMainWindow::showEvent(event);
}

// A close during an operation waits for its end: a continuous test is told
// to stop as its cancel does, any other operation runs to its end; then the
// window closes. Nothing is torn down underneath the worker.
void TfrmModule::closeEvent(QCloseEvent* event) {
    if (runner_->deferClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) menu_->closeWindows();
}

}  // namespace kt

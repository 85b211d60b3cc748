#include "app/window/tfrm_module.h"

#include "app/fonts.h"
#include "app/message_lookup.h"
#include "app/window/module_survey_window.h"
#include "app/window/traffic_monitor.h"
#include "link/version.h"
#include "ui_tfrm_module.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
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
    shown.language = [this] { return languageIndex_; };
    shown.takePort = [this] { return takeActivePortPage(); };
    runner_ = std::make_unique<OperationRunner>(std::move(shown), *worker_);
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

    tmrClock.setInterval(500);
    connectHandlers();
    FormCreate();
    tmrClock.start();
}

// The monitor stops listening first; then a continuous test is told to stop
// and the worker is cancelled and joined, before anything its queued
// reports would reach goes away.
TfrmModule::~TfrmModule() {
    traffic_.reset();
    runner_->stopTest();
    worker_.reset();
}

void TfrmModule::FormCreate() {
    deviceAddress_ = "0000";
    languageIndex_ = LanguageIndex::English;
    fields_ = loadSettings();
    languageIndex_ = fields_.languageIndex();

    ui->cmbPort->setLister(listPorts_);
    ui->cmbPort->refill();
    ui->cmbPort->setCurrentIndex(0);
    copyFieldsToPortPage();
}

void TfrmModule::copyFieldsToPortPage() {
    ui->cmbPort->setEditText(fields_.ComPortName);
    const int baud = ui->cmbBaudrate->findText(fields_.ComBaudRate);
    if (baud >= 0) ui->cmbBaudrate->setCurrentIndex(baud);
    ui->cmbBaudrate->setEditText(fields_.ComBaudRate);
    ui->edIP->setText(fields_.NetIP);
    ui->edPort->setText(fields_.NetPort);
    ui->chkNetSetLine->setChecked(fields_.NetSetLine != 0);
    const int netBaud = ui->cmbNetBaudrate->findText(fields_.NetBaudRate);
    if (netBaud >= 0) ui->cmbNetBaudrate->setCurrentIndex(netBaud);
    ui->cmbNetBaudrate->setEditText(fields_.NetBaudRate);
    ui->pnFile->setText(fields_.FirmwareFile);
    portKind_ = fields_.networkPage() ? PortKind::Network : PortKind::Serial;
    ui->pcPort->setCurrentWidget(portKind_ == PortKind::Network ? ui->tsNet : ui->tsCom);
    updateFindSpeedEnabled();
}

void TfrmModule::connectHandlers() {
    const std::pair<QPushButton*, void (TfrmModule::*)()> buttons[] = {
        {ui->btnConnect, &TfrmModule::btnConnectClick},
        {ui->btnSetDate, &TfrmModule::btnSetDateClick},
        {ui->btnAlarm, &TfrmModule::btnAlarmClick},
        {ui->btnInitial, &TfrmModule::btnInitialClick},
        {ui->btnReboot, &TfrmModule::btnRebootClick},
        {ui->btnSet19200, &TfrmModule::btnSet19200Click},
        {ui->btnSet115200, &TfrmModule::btnSet115200Click},
        {ui->btn19200, &TfrmModule::btn19200Click},
        {ui->btn115200, &TfrmModule::btn115200Click},
        {ui->btnCommand, &TfrmModule::btnCommandClick},
        {ui->btnGetCtrlID, &TfrmModule::btnGetCtrlIDClick},
        {ui->btnSetCtrlBySN, &TfrmModule::btnSetCtrlBySNClick},
        {ui->btnDIDO, &TfrmModule::btnDIDOClick},
        {ui->btnPooling, &TfrmModule::btnPoolingClick},
        {ui->btnModuleCommand, &TfrmModule::btnModuleCommandClick},
        {ui->btnV5GetSn, &TfrmModule::btnV5GetSnClick},
        {ui->btnV5SetId, &TfrmModule::btnV5SetIdClick},
        {ui->btnV7SnId, &TfrmModule::btnV7SnIdClick},
        {ui->btnV7SetId, &TfrmModule::btnV7SetIdClick},
        {ui->btnV7SetCardType, &TfrmModule::btnV7SetCardTypeClick},
        {ui->btnV7GetCardType, &TfrmModule::btnV7GetCardTypeClick},
    };
    for (const auto& [button, click] : buttons)
        connect(button, &QPushButton::clicked, this, handler(click));
    // The DIDO loop reads the output boxes on the worker, each pass.
    const QCheckBox* outputs[] = {ui->chkDO1, ui->chkDO2, ui->chkDO3, ui->chkDO4};
    for (std::size_t i = 0; i < outputChecked_.size(); ++i) {
        outputChecked_.at(i).store(outputs[i]->isChecked());
        connect(outputs[i], &QCheckBox::toggled, this,
                [this, i](bool on) { outputChecked_.at(i).store(on); });
    }
    connect(ui->sbID, &QScrollBar::valueChanged, this, handler(&TfrmModule::sbIDChange));
    connect(&tmrClock, &QTimer::timeout, this, handler(&TfrmModule::tmrClockTimer));
    connect(ui->mnuEnglish, &QAction::triggered, this, handler(&TfrmModule::mnuEnglishClick));
    connect(ui->mnuSimplified, &QAction::triggered, this, handler(&TfrmModule::mnuSimplifiedClick));
    connect(ui->mnuTraditional, &QAction::triggered, this,
            handler(&TfrmModule::mnuTraditionalClick));
    connect(ui->mnuExit, &QAction::triggered, this, handler(&TfrmModule::mnuExitClick));
    connect(ui->mnuAbout, &QAction::triggered, this, handler(&TfrmModule::mnuAboutClick));
    connect(ui->mnuTraffic, &QAction::triggered, this, handler(&TfrmModule::mnuTrafficClick));
    connect(ui->mnuFindSpeed, &QAction::triggered, this, handler(&TfrmModule::mnuFindSpeedClick));
    connect(ui->mnuModuleSurvey, &QAction::triggered, this,
            handler(&TfrmModule::mnuModuleSurveyClick));
    connect(ui->pcPort, &QTabWidget::currentChanged, this,
            handler(&TfrmModule::updateFindSpeedEnabled));
    connect(ui->chkNetSetLine, &QCheckBox::toggled, this,
            handler(&TfrmModule::updateFindSpeedEnabled));
    // The firmware upgrade: its menu item and page stay hidden.
    connect(ui->mnuFirmwareFile, &QAction::triggered, this,
            handler(&TfrmModule::mnuFirmwareFileClick));
    connect(ui->btnFirmware, &QPushButton::clicked, this, handler(&TfrmModule::btnFirmwareClick));

    // Enter anywhere in the window presses the default button, Connect; on
    // a focused push button it presses that one. Qt knows default buttons
    // only in dialogs, and an edit passes Enter on.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, handler(&TfrmModule::enterPressed));
    }
}

void TfrmModule::enterPressed() {
    auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
    if (focused && isAncestorOf(focused)) {
        focused->click();
        return;
    }
    ui->btnConnect->click();
}

// The form names the design's faces and their pixel heights (property
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

void TfrmModule::mnuExitClick() {
    close();
}

void TfrmModule::mnuAboutClick() {
    // The version goes under the table's text, as the one line every
    // program's --version prints.
    QMessageBox box(QMessageBox::NoIcon, text(6),
                    text(61) + QStringLiteral("\n\n") + VersionLine(QStringLiteral("kttools")),
                    QMessageBox::Ok, this);
    box.setFont(languageFont(languageIndex_));
    box.exec();
}

void TfrmModule::mnuTrafficClick() {
    if (!traffic_) traffic_ = std::make_unique<TrafficMonitor>(worker_->link());
    traffic_->setLanguage(languageIndex_);
    traffic_->show();
    traffic_->raise();
    traffic_->activateWindow();
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
    if (event->isAccepted() && surveyWindow_) surveyWindow_->close();
    if (event->isAccepted() && traffic_) traffic_->close();
}

void TfrmModule::runHandler(const std::function<void()>& body) {
    QString error;
    try {
        body();
        return;
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    } catch (...) {
        error = QStringLiteral("Unknown error");
    }
    QMessageBox::critical(this, QGuiApplication::applicationDisplayName(), error);
}

QString TfrmModule::text(int number) const {
    return MessageTable::text(number, languageIndex_);
}

}  // namespace kt

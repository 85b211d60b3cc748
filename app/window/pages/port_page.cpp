#include "app/window/pages/port_page.h"

#include "app/fault_causes.h"
#include "app/messages.h"
#include "app/window/window_session.h"
#include "controller/basic_commands.h"
#include "ui_port_page.h"

namespace kt {
namespace {

void showSpeed(QComboBox* box, const SpeedBoxSetting& speed) {
    box->setCurrentIndex(speed.index);
    box->setEditText(speed.text);
}

}  // namespace

PortPage::PortPage(QWidget* parent) : PageControl(parent), ui(std::make_unique<Ui::PortPage>()) {
    ui->setupUi(this);
}

PortPage::~PortPage() = default;

void PortPage::attach(WindowSession& session, PortComboBox::Lister listPorts) {
    session_ = &session;
    session.takePortPage = [this] { return takeActivePage(); };
    connect(ui->btn19200, &QPushButton::clicked, this, handler(this, &PortPage::btn19200Click));
    connect(ui->btn115200, &QPushButton::clicked, this, handler(this, &PortPage::btn115200Click));
    connect(this, &QTabWidget::currentChanged, this, &PortPage::findSpeedChanged);
    connect(ui->chkNetSetLine, &QCheckBox::toggled, this, &PortPage::findSpeedChanged);
    ui->cmbPort->setLister(std::move(listPorts));
    ui->cmbPort->refill();
    ui->cmbPort->setCurrentIndex(0);
}

void PortPage::retranslate() {
    ui->chkNetSetLine->setText(Messages::tr("Set the converter's line (RFC 2217)"));
    setTabText(indexOf(ui->tsNet), Messages::tr("NET"));
    setTabText(indexOf(ui->tsCom), Messages::tr("COM"));
    ui->lblPort->setText(Messages::tr("Port:"));
    ui->lblNetPort->setText(Messages::tr("Port:"));
    ui->lblSpeed->setText(Messages::tr("Speed:"));
    ui->cmbPort->setNoAccessMark(NoAccessMark());
    ui->cmbPort->refill();
}

void PortPage::showFields() {
    const StoredSettings& fields = session_->fields;
    ui->cmbPort->setEditText(fields.ComPortName);
    const int baud = ui->cmbBaudrate->findText(fields.ComBaudRate);
    if (baud >= 0) ui->cmbBaudrate->setCurrentIndex(baud);
    ui->cmbBaudrate->setEditText(fields.ComBaudRate);
    ui->edIP->setText(fields.NetIP);
    ui->edPort->setText(fields.NetPort);
    ui->chkNetSetLine->setChecked(fields.NetSetLine != 0);
    const int netBaud = ui->cmbNetBaudrate->findText(fields.NetBaudRate);
    if (netBaud >= 0) ui->cmbNetBaudrate->setCurrentIndex(netBaud);
    ui->cmbNetBaudrate->setEditText(fields.NetBaudRate);
    session_->portKind = fields.networkPage() ? PortKind::Network : PortKind::Serial;
    setCurrentWidget(session_->portKind == PortKind::Network ? ui->tsNet : ui->tsCom);
}

PortSettings PortPage::takeActivePage() {
    StoredSettings& fields = session_->fields;
    if (currentWidget() == ui->tsCom) {
        session_->portKind = PortKind::Serial;
        fields.ComPortName = ui->cmbPort->currentText();
        fields.ComBaudRate = ui->cmbBaudrate->currentText();
    } else {
        session_->portKind = PortKind::Network;
        fields.NetIP = ui->edIP->text();
        fields.NetPort = ui->edPort->text();
        fields.NetSetLine = ui->chkNetSetLine->isChecked() ? 1 : 0;
        fields.NetBaudRate = ui->cmbNetBaudrate->currentText();
    }
    PortSettings port{session_->portKind, fields.ComPortName, fields.ComBaudRate, fields.NetIP,
                      fields.NetPort};
    port.NetSetLine = fields.NetSetLine != 0;
    port.NetBaudRate = fields.NetBaudRate;
    return port;
}

void PortPage::showLineSpeed(const SpeedBoxSetting& speed) {
    showSpeed(ui->cmbBaudrate, speed);
    if (session_->portKind == PortKind::Network && session_->fields.NetSetLine != 0)
        showSpeed(ui->cmbNetBaudrate, speed);
}

bool PortPage::findSpeedApplies() const {
    return currentWidget() == ui->tsCom || ui->chkNetSetLine->isChecked();
}

void PortPage::showFoundSpeed(const QString& line) {
    QComboBox* box = currentWidget() == ui->tsCom ? ui->cmbBaudrate : ui->cmbNetBaudrate;
    box->setCurrentIndex(box->findText(line));
    box->setEditText(line);
}

void PortPage::btn19200Click() {
    showSpeed(ui->cmbBaudrate, SpeedPreset(LineSpeed::Baud19200));
}

void PortPage::btn115200Click() {
    showSpeed(ui->cmbBaudrate, SpeedPreset(LineSpeed::Baud115200));
}

}  // namespace kt

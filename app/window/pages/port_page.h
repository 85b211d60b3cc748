// The port page control: the COM page (port, speed and the two speed
// presets) and the Net page (address, port and the converter's line). It shows the stored fields
// and takes the active page back into them.
#pragma once

#include "app/window/page_control.h"
#include "app/window/port_combo_box.h"

#include <memory>

namespace Ui {
class PortPage;
}

namespace kt {

struct PortSettings;
struct SpeedBoxSetting;
struct WindowSession;

class PortPage : public PageControl {
    Q_OBJECT
public:
    explicit PortPage(QWidget* parent = nullptr);
    ~PortPage() override;

    // The session whose fields the page shows and takes; the port box asks
    // `listPorts` for the serial ports present.
    void attach(WindowSession& session, PortComboBox::Lister listPorts);
    void retranslate();
    // The fields on the page, and the page of the stored port kind in front.
    void showFields();
    // The entries of the active page become the fields the port opens with;
    // the other page's fields keep what they had.
    PortSettings takeActivePage();

    // A speed the controller now runs at: the COM page's speed box, and
    // behind a converter that takes line settings its line too.
    void showLineSpeed(const SpeedBoxSetting& speed);
    // The scan sets the serial line: the port's, or the converter's when it
    // takes line settings (RFC 2217); a raw converter's is set in the converter.
    bool findSpeedApplies() const;
    // The speed line a scan found, in the active page's speed box.
    void showFoundSpeed(const QString& line);

signals:
    // The active page or the converter's line box changed.
    void findSpeedChanged();

private:
    void btn19200Click();
    void btn115200Click();

    std::unique_ptr<Ui::PortPage> ui;
    WindowSession* session_ = nullptr;
};

}  // namespace kt

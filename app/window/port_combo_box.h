// The serial port box of the port page. Its entries are listed afresh each
// time its list opens and when a USB serial adapter comes or goes while the
// window is up, since technicians plug adapters in while the tool runs. An
// entry shows what the system knows of the port; the text typed, chosen,
// stored and opened is the bare port name.
#pragma once

#include "app/window/serial_port_list.h"

#include <QComboBox>
#include <QFileSystemWatcher>
#include <QTimer>
#include <functional>

namespace kt {

class PortComboBox : public QComboBox {
    Q_OBJECT
public:
    // The ports to list, before trimming and the COM1..COM16 fallback.
    using Lister = std::function<QList<SerialPortRecord>()>;

    explicit PortComboBox(QWidget* parent = nullptr);

    void setLister(Lister lister) { lister_ = std::move(lister); }
    // What follows a port the account cannot open, in the window's language.
    void setNoAccessMark(const QString& mark) { noAccessMark_ = mark; }
    // Lists the ports present now; the box's text stays.
    void refill();
    // The folders whose changes mean an adapter came or went (by default
    // /dev and /dev/serial/by-id); a change refills the list when shown.
    void watchFolders(const QStringList& folders);

    void showPopup() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showName(int index);
    void devicesChanged();

    Lister lister_;
    QString noAccessMark_;
    QFileSystemWatcher watcher_;
    QStringList folders_;
    QTimer settle_;  // udev creates a device and its links in several steps
    bool stale_ = false;
};

}  // namespace kt

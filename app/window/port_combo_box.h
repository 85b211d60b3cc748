// The serial port box of the port page. Its entries are listed afresh each
// time its list opens, since technicians plug adapters in while the tool
// runs; the text typed or chosen stays as it was.
#pragma once

#include <QComboBox>
#include <QStringList>
#include <functional>

namespace kt {

class PortComboBox : public QComboBox {
    Q_OBJECT
public:
    // The port names to list, before trimming and the COM1..COM16 fallback.
    using Lister = std::function<QStringList()>;

    explicit PortComboBox(QWidget* parent = nullptr);

    void setLister(Lister lister) { lister_ = std::move(lister); }
    // Lists the ports present now; the box's text stays.
    void refill();

    void showPopup() override;

private:
    Lister lister_;
};

}  // namespace kt

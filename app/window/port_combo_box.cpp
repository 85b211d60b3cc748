#include "port_combo_box.h"

#include "serial_port_list.h"

namespace kt {

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent) {}

void PortComboBox::refill() {
    const QString text = currentText();
    clear();
    addItems(serialPortList(lister_ ? lister_() : QStringList()));
    setEditText(text);
}

void PortComboBox::showPopup() {
    refill();
    QComboBox::showPopup();
}

}  // namespace kt

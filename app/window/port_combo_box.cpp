#include "app/window/port_combo_box.h"

#include <QAbstractItemView>
#include <QDir>
#include <QStyle>

#include <algorithm>

namespace kt {

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent) {
    // After a choice the box holds the bare name, not the entry's label.
    connect(this, &QComboBox::activated, this, &PortComboBox::showName);
    connect(this, &QComboBox::currentIndexChanged, this, &PortComboBox::showName);
    settle_.setSingleShot(true);
    settle_.setInterval(300);
    connect(&settle_, &QTimer::timeout, this, &PortComboBox::devicesChanged);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, &settle_,
            qOverload<>(&QTimer::start));
    watchFolders({QStringLiteral("/dev"), QStringLiteral("/dev/serial"),
                  QString::fromLatin1(kSerialByIdFolder)});
}

void PortComboBox::watchFolders(const QStringList& folders) {
    folders_ = folders;
    if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
    // /dev/serial/by-id exists only while an adapter is plugged in: watching
    // /dev (and /dev/serial) sees it come; it is added once it exists.
    for (const QString& folder : folders_)
        if (QDir(folder).exists()) watcher_.addPath(folder);
}

void PortComboBox::refill() {
    const QString text = currentText();
    {
        const QSignalBlocker quiet(this);
        clear();
        for (const PortEntry& entry :
             serialPortEntries(lister_ ? lister_() : QList<SerialPortRecord>(), noAccessMark_))
            addItem(entry.label, entry.name);
    }
    setEditText(text);
}

void PortComboBox::showPopup() {
    refill();
    // The entries say more than the box is wide: the list is as wide as its
    // longest entry, not cut in the middle of the port's name.
    const int entries = view()->sizeHintForColumn(0) + 2 * view()->frameWidth() +
                        style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    view()->setMinimumWidth(std::max(width(), entries));
    QComboBox::showPopup();
}

void PortComboBox::showEvent(QShowEvent* event) {
    if (stale_) {
        stale_ = false;
        refill();
    }
    QComboBox::showEvent(event);
}

void PortComboBox::showName(int index) {
    const QVariant name = itemData(index);
    if (index >= 0 && name.isValid() && isEditable()) setEditText(name.toString());
}

void PortComboBox::devicesChanged() {
    watchFolders(folders_);  // a folder may have come or gone
    // An open list is left alone: it is refilled the next time it opens.
    if (view()->isVisible()) return;
    if (!isVisible()) {
        stale_ = true;
        return;
    }
    refill();
}

}  // namespace kt

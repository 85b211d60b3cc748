// The traffic monitor (frmTraffic): a window of its own, beside the main
// form, listing every frame the link sends or collects while it is open.
// It listens on the link's trace hook only while shown, so that a closed
// monitor costs the link nothing.
#pragma once

#include "app/traffic_log.h"

#include <QWidget>
#include <functional>

class QPushButton;
class QTableView;

namespace kt {

class Link;

class TrafficMonitor : public QWidget {
    Q_OBJECT
public:
    // No parent: the main form is disabled during an operation, and the
    // monitor's Pause must still work then.
    explicit TrafficMonitor(Link& link);
    ~TrafficMonitor() override;

    // Shows the installed language; a LanguageChange does the same.
    void retranslate();
    TrafficLog& log() { return log_; }
    bool paused() const { return paused_; }

    // The file the Save button writes: by default the save dialogue; tests
    // put their own in its place. Empty: nothing is written.
    using SaveFileChooser = std::function<QString()>;
    void setSaveFileChooser(SaveFileChooser chooser) { chooseFile_ = std::move(chooser); }
    // Writes every listed frame, one a line; false when it could not.
    bool saveTo(const QString& path) const;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void togglePause();
    void sizeColumns();
    void save();
    void listen(bool on);
    void restorePlace();
    void storePlace() const;

    Link& link_;
    TrafficLog log_;
    QTableView* view_;
    QPushButton* pause_;
    QPushButton* clear_;
    QPushButton* save_;
    SaveFileChooser chooseFile_;
    QString shownLanguage_;
    bool paused_ = false;
    bool placed_ = false;
};

}  // namespace kt

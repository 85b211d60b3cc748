// The main window's menus: File (Find line speed, Module survey, Traffic
// monitor, Firmware file, Exit), Language and About, with the windows the
// File menu opens.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <utility>

class QAction;
class QMainWindow;

namespace Ui {
class TfrmModule;
}

namespace kt {

class Link;
class ModuleSurveyWindow;
class TrafficMonitor;
struct WindowSession;

class WindowMenu : public QObject {
    Q_OBJECT
public:
    // The menus of `form`, whose controls are `ui`; the traffic monitor
    // listens on `link`.
    WindowMenu(QMainWindow& form, Ui::TfrmModule& ui, WindowSession& session, Link& link);
    ~WindowMenu() override;

    void retranslate();
    // Find line speed is offered while no continuous test runs and the
    // active port page has a line it can set.
    void updateFindSpeedEnabled();
    // The traffic monitor, once the File menu has opened it (else null).
    TrafficMonitor* trafficMonitor() const { return traffic_.get(); }
    // The window closes: so do the ones its menu opened. The monitor stops
    // listening to the link.
    void closeWindows();
    void stopTraffic() { traffic_.reset(); }
    // The Language menu's items, each with its language's catalogue code:
    // the three of the form, then one for each further catalogue built in.
    const QList<std::pair<QAction*, QString>>& languageItems() const { return languages_; }

signals:
    // A language was chosen and stored: the window shows itself in it.
    void languageChanged();

private:
    void mnuEnglishClick();
    void mnuSimplifiedClick();
    void mnuTraditionalClick();
    void chooseLanguage(const QString& language);
    void mnuExitClick();
    void mnuAboutClick();
    void mnuTrafficClick();
    void mnuFindSpeedClick();
    void mnuModuleSurveyClick();
    void mnuFirmwareFileClick();
    ModuleSurveyWindow& surveyWindow();

    QMainWindow& form_;
    Ui::TfrmModule& ui;
    WindowSession& session_;
    Link& link_;
    // Made on first use; destroyed before the link it listens on.
    std::unique_ptr<TrafficMonitor> traffic_;
    // frmModuleSurvey, made the first time the survey runs.
    std::unique_ptr<ModuleSurveyWindow> surveyWindow_;
    QList<std::pair<QAction*, QString>> languages_;
};

}  // namespace kt

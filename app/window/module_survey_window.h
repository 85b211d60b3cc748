// frmModuleSurvey: the small window the File menu's "Module survey" opens
// beside the main window. It lists the modules the survey found (kind, type,
// ID, serial number) while the survey runs, shows its progress, offers a
// Cancel while it runs, and Copy (tab-separated, for a spreadsheet or a
// mail) and Save (comma-separated file) afterwards. Not modal, and a window
// of its own rather than a child of the main window, so that its Cancel
// stays usable while the main window is locked by the operation.
#pragma once

#include "modules/module_survey.h"

#include <QWidget>
#include <atomic>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace kt {

class ModuleSurveyWindow : public QWidget {
    Q_OBJECT
public:
    explicit ModuleSurveyWindow(QWidget* parent = nullptr);

    // Shows the installed language; a LanguageChange does the same.
    void retranslate();

    // A survey starts: the table empties, Cancel is offered.
    void begin();
    void progress(int asked, int total);
    void addModule(const SurveyedModule& module);
    // The survey has ended; portOpened false when the port never opened.
    void end(const ModuleSurveyResult& result, bool portOpened);
    // Asked by the survey on the link's worker.
    bool cancelRequested() const { return cancelRequested_.load(); }
    bool running() const { return running_; }

    // The file Save writes to, empty when cancelled. By default the save
    // dialogue; tests put their own in its place.
    using SaveChooser = std::function<QString()>;
    void setSaveChooser(SaveChooser chooser) { saveChooser_ = std::move(chooser); }

    // The table as Copy puts it on the clipboard: a header line, then one
    // line a module, fields separated by tabs.
    QString tableText() const;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void copyClick();
    void saveClick();
    void cancelClick();
    void showSummary();

    QTableWidget* table_;
    QProgressBar* bar_;
    QLabel* status_;
    QPushButton* copy_;
    QPushButton* save_;
    QPushButton* cancel_;
    QString shownLanguage_;
    QList<SurveyedModule> modules_;
    ModuleSurveyResult last_;
    bool portOpened_ = true;
    bool ended_ = false;
    bool running_ = false;
    std::atomic<bool> cancelRequested_{false};
    SaveChooser saveChooser_;
};

}  // namespace kt

#include "app/window/window_menu.h"

#include "app/fonts.h"
#include "app/message_table.h"
#include "app/traffic_texts.h"
#include "app/window/module_survey_window.h"
#include "app/window/traffic_monitor.h"
#include "app/window/window_session.h"
#include "controller/line_speed_scan.h"
#include "modules/module_survey.h"
#include "ui_tfrm_module.h"
#include "version/version.h"

#include <QMainWindow>
#include <QMessageBox>

namespace kt {

WindowMenu::WindowMenu(QMainWindow& form, Ui::TfrmModule& ui, WindowSession& session, Link& link)
    : form_(form), ui(ui), session_(session), link_(link) {
    const std::pair<QAction*, void (WindowMenu::*)()> items[] = {
        {ui.mnuEnglish, &WindowMenu::mnuEnglishClick},
        {ui.mnuSimplified, &WindowMenu::mnuSimplifiedClick},
        {ui.mnuTraditional, &WindowMenu::mnuTraditionalClick},
        {ui.mnuExit, &WindowMenu::mnuExitClick},
        {ui.mnuAbout, &WindowMenu::mnuAboutClick},
        {ui.mnuTraffic, &WindowMenu::mnuTrafficClick},
        {ui.mnuFindSpeed, &WindowMenu::mnuFindSpeedClick},
        {ui.mnuModuleSurvey, &WindowMenu::mnuModuleSurveyClick},
        // The firmware upgrade: its menu item and page stay hidden.
        {ui.mnuFirmwareFile, &WindowMenu::mnuFirmwareFileClick},
    };
    for (const auto& [item, click] : items)
        connect(item, &QAction::triggered, this,
                [this, click] { runHandler(&form_, [&] { (this->*click)(); }); });
    // The File menu's scan and survey reach the device too.
    session.deviceActions = {ui.mnuFindSpeed, ui.mnuModuleSurvey};
}

WindowMenu::~WindowMenu() = default;

void WindowMenu::retranslate() {
    const LanguageIndex language = session_.language;
    const auto name = [](LanguageIndex index) {
        return MessageTable::text(MessageTable::LanguageNames, index);
    };
    ui.mnuEnglish->setChecked(language == LanguageIndex::English);
    ui.mnuSimplified->setChecked(language == LanguageIndex::SimplifiedChinese);
    ui.mnuTraditional->setChecked(language == LanguageIndex::TraditionalChinese);
    // Each language keeps its own name.
    ui.mnuLanguage->setTitle(session_.text(3));
    ui.mnuEnglish->setText(name(LanguageIndex::English));
    ui.mnuSimplified->setText(name(LanguageIndex::SimplifiedChinese));
    ui.mnuTraditional->setText(name(LanguageIndex::TraditionalChinese));
    ui.mnuFile->setTitle(session_.text(4));
    ui.mnuFirmwareFile->setText(session_.text(15));
    ui.mnuFindSpeed->setText(MessageTable::translate("Find line &speed", language));
    ui.mnuModuleSurvey->setText(MessageTable::translate("Module &survey", language));
    ui.mnuAbout->setText(session_.text(7));
    ui.mnuExit->setText(session_.text(8));
    ui.mnuTraffic->setText(trafficText(TrafficText::MenuItem, language));
    if (traffic_) traffic_->setLanguage(language);
    if (surveyWindow_) surveyWindow_->applyLanguage(language);
}

void WindowMenu::updateFindSpeedEnabled() {
    ui.mnuFindSpeed->setEnabled(ui.pcPort->findSpeedApplies() && session_.runner.testKind() == 0);
}

void WindowMenu::closeWindows() {
    if (surveyWindow_) surveyWindow_->close();
    if (traffic_) traffic_->close();
}

void WindowMenu::chooseLanguage(LanguageIndex language) {
    session_.language = language;
    session_.fields.LanguageFlag = languageFlagFor(language);
    SaveLanguage(session_.fields.LanguageFlag);
    emit languageChanged();
}

void WindowMenu::mnuEnglishClick() {
    chooseLanguage(LanguageIndex::English);
}

void WindowMenu::mnuSimplifiedClick() {
    chooseLanguage(LanguageIndex::SimplifiedChinese);
}

void WindowMenu::mnuTraditionalClick() {
    chooseLanguage(LanguageIndex::TraditionalChinese);
}

void WindowMenu::mnuExitClick() {
    form_.close();
}

void WindowMenu::mnuAboutClick() {
    // The version goes under the table's text, as the one line every
    // program's --version prints.
    QMessageBox box(
        QMessageBox::NoIcon, session_.text(6),
        session_.text(61) + QStringLiteral("\n\n") + VersionLine(QStringLiteral("kttools")),
        QMessageBox::Ok, &form_);
    box.setFont(languageFont(session_.language));
    box.exec();
}

void WindowMenu::mnuTrafficClick() {
    if (!traffic_) traffic_ = std::make_unique<TrafficMonitor>(link_);
    traffic_->setLanguage(session_.language);
    traffic_->show();
    traffic_->raise();
    traffic_->activateWindow();
}

void WindowMenu::mnuFirmwareFileClick() {
    if (const auto header = ui.tsFirmware->chooseFirmwareFile())
        ui.pnMsg->setText(QString::fromLatin1(*header));
}

// A running continuous test holds the port.
void WindowMenu::mnuFindSpeedClick() {
    if (session_.operationRunning() || !ui.pcPort->findSpeedApplies()) return;
    OperationRunner& runner = session_.runner;
    auto result = std::make_shared<LineSpeedScanResult>();
    session_.runOperation(
        [&runner, result, idText = ui.pnID->text().toLatin1()](Link& link) {
            LineSpeedScanObserver observer;
            // As Connect counts down its attempts: the settings left, this one included.
            observer.trying = [&runner](const QString& line, int number, int count) {
                runner.onWindow([&runner, line, left = count - number + 1] {
                    runner.showCountdown("Finding line speed ...", left, line);
                });
            };
            *result = ScanLineSpeed(link, idText, false, observer);
            return result->outcome == LineSpeedScanResult::Outcome::Found;
        },
        [this, result](bool) {
            if (result->outcome != LineSpeedScanResult::Outcome::Found) return;
            // The port is closed again: the next operation opens it at what was found.
            ui.pcPort->showFoundSpeed(result->line);
            bool number = false;
            const int position = QString::fromLatin1(result->address).toInt(&number, 10);
            if (number) ui.sbID->setValue(position);
        });
}

ModuleSurveyWindow& WindowMenu::surveyWindow() {
    if (!surveyWindow_) {
        surveyWindow_ = std::make_unique<ModuleSurveyWindow>();
        surveyWindow_->applyLanguage(session_.language);
    }
    return *surveyWindow_;
}

void WindowMenu::mnuModuleSurveyClick() {
    if (session_.operationRunning()) return;
    ModuleSurveyWindow* survey = &surveyWindow();
    survey->show();
    survey->raise();
    survey->begin();
    auto result = std::make_shared<ModuleSurveyResult>();
    auto opened = std::make_shared<bool>(false);
    OperationRunner& runner = session_.runner;
    runner.start(
        [&runner, survey, result, opened, address = session_.deviceAddress](Link& link) {
            *opened = true;
            const auto title = runner.countdownShower("Module survey");
            title(kSurveyRequests);
            ModuleSurveyObserver observer;
            observer.progress = [&runner, survey, title](int asked, int total) {
                runner.onWindow([survey, asked, total] { survey->progress(asked, total); });
                title(total - asked);
            };
            observer.found = [&runner, survey](const SurveyedModule& module) {
                runner.onWindow([survey, module] { survey->addModule(module); });
            };
            // The survey window's Cancel (or closing it) is heard while a request waits.
            observer.keepRunning = [survey] { return !survey->cancelRequested(); };
            *result = SurveyModules(link, address, observer);
            if (result->complete()) return OperationRunner::Ending::Ok;
            return survey->cancelRequested() ? OperationRunner::Ending::Cancelled
                                             : OperationRunner::Ending::Error;
        },
        [survey, result, opened](bool) { survey->end(*result, *opened); });
}

}  // namespace kt

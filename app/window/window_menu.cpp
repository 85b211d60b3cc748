#include "app/window/window_menu.h"

#include "app/catalogues.h"
#include "app/fonts.h"
#include "app/messages.h"
#include "app/window/module_survey_window.h"
#include "app/window/traffic_monitor.h"
#include "app/window/window_session.h"
#include "controller/line_speed_scan.h"
#include "modules/module_survey.h"
#include "ui_tfrm_module.h"
#include "version/version.h"

#include <QAction>
#include <QMainWindow>
#include <QMessageBox>

#include <algorithm>

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
    // A catalogue beyond the three is one more item, named by its catalogue.
    languages_ = {{ui.mnuEnglish, Catalogues::languageFor(LanguageIndex::English)},
                  {ui.mnuSimplified, Catalogues::languageFor(LanguageIndex::SimplifiedChinese)},
                  {ui.mnuTraditional, Catalogues::languageFor(LanguageIndex::TraditionalChinese)}};
    for (const QString& language : Catalogues::languages()) {
        const bool known = std::any_of(languages_.begin(), languages_.end(),
                                       [&](const auto& item) { return item.second == language; });
        if (known) continue;
        auto* item = new QAction(&form_);
        item->setObjectName(QStringLiteral("mnuLanguage_") + language);
        item->setCheckable(true);
        ui.mnuLanguage->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, language] { runHandler(&form_, [&] { chooseLanguage(language); }); });
        languages_.append({item, language});
    }
    // The File menu's scan and survey reach the device too.
    session.deviceActions = {ui.mnuFindSpeed, ui.mnuModuleSurvey};
}

WindowMenu::~WindowMenu() = default;

void WindowMenu::retranslate() {
    // Each language keeps its own name, from its own catalogue.
    for (const auto& [item, language] : languages_) {
        item->setChecked(language == session_.language);
        item->setText(Catalogues::name(language));
    }
    ui.mnuLanguage->setTitle(Messages::tr("&Language"));
    ui.mnuFile->setTitle(Messages::tr("&File"));
    ui.mnuFirmwareFile->setText(Messages::tr("&Firmware file"));
    ui.mnuFindSpeed->setText(Messages::tr("Find line &speed"));
    ui.mnuModuleSurvey->setText(Messages::tr("Module &survey"));
    ui.mnuAbout->setText(Messages::tr("&About"));
    ui.mnuExit->setText(Messages::tr("E&xit"));
    ui.mnuTraffic->setText(Messages::tr("&Traffic monitor"));
    // They follow the LanguageChange Qt posts too; this shows the language
    // at once.
    if (traffic_) traffic_->retranslate();
    if (surveyWindow_) surveyWindow_->retranslate();
}

void WindowMenu::updateFindSpeedEnabled() {
    ui.mnuFindSpeed->setEnabled(ui.pcPort->findSpeedApplies() && session_.runner.testKind() == 0);
}

void WindowMenu::closeWindows() {
    if (surveyWindow_) surveyWindow_->close();
    if (traffic_) traffic_->close();
}

void WindowMenu::chooseLanguage(const QString& language) {
    session_.language = language;
    session_.fields.LanguageFlag = Catalogues::flagFor(language);
    SaveLanguage(session_.fields.LanguageFlag);
    emit languageChanged();
}

void WindowMenu::mnuEnglishClick() {
    chooseLanguage(Catalogues::languageFor(LanguageIndex::English));
}

void WindowMenu::mnuSimplifiedClick() {
    chooseLanguage(Catalogues::languageFor(LanguageIndex::SimplifiedChinese));
}

void WindowMenu::mnuTraditionalClick() {
    chooseLanguage(Catalogues::languageFor(LanguageIndex::TraditionalChinese));
}

void WindowMenu::mnuExitClick() {
    form_.close();
}

void WindowMenu::mnuAboutClick() {
    // The version goes under the table's text, as the one line every
    // program's --version prints.
    QMessageBox box(QMessageBox::NoIcon, Messages::tr("About"),
                    Messages::tr("This tool support: KT350/KT460 serial controller .") +
                        QStringLiteral("\n\n") + VersionLine(QStringLiteral("kttools")),
                    QMessageBox::Ok, &form_);
    box.setFont(languageFont(Catalogues::indexFor(session_.language)));
    box.exec();
}

void WindowMenu::mnuTrafficClick() {
    if (!traffic_) traffic_ = std::make_unique<TrafficMonitor>(link_);
    traffic_->retranslate();
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
                    runner.showCountdown(QT_TRANSLATE_NOOP("Messages", "Finding line speed ..."),
                                         left, line);
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
        surveyWindow_->retranslate();
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

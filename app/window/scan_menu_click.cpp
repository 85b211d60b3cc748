// The File menu's "Find line speed" and "Module survey": the line-speed scan
// (controller/line_speed_scan.h) and the module bus survey
// (modules/module_survey.h), each run as an operation of the main window.
#include "line_speed_scan.h"
#include "message_table.h"
#include "module_survey.h"
#include "module_survey_window.h"
#include "tfrm_module.h"
#include "ui_tfrm_module.h"

#include <QCoreApplication>

namespace kt {

// The scan sets the serial line: the port's, or the converter's when it
// takes line settings (RFC 2217); a raw converter's is set in the converter.
// A running continuous test holds the port.
bool TfrmModule::findSpeedApplies() const {
    return ui->pcPort->currentWidget() == ui->tsCom || ui->cbNetSetLine->isChecked();
}

void TfrmModule::updateFindSpeedEnabled() {
    ui->mnuFindSpeed->setEnabled(findSpeedApplies() && runningTest_ == ContinuousTest::None);
}

void TfrmModule::mnuFindSpeedClick() {
    if (operationRunning_ || !findSpeedApplies()) return;
    QComboBox* speedBox =
        ui->pcPort->currentWidget() == ui->tsCom ? ui->cmbBaudrate : ui->cmbNetBaudrate;
    const QByteArray idText = ui->pnID->text().toLatin1();
    LineSpeedScanResult result;
    runOperation([&](Link& link) {
        LineSpeedScanObserver observer;
        // As Connect counts down its attempts: the settings left, this one included.
        observer.trying = [this](const QString& line, int number, int count) {
            ui->pnMsg->setText(MessageTable::translate("Finding line speed ...", languageIndex_) +
                               u' ' + line + QString::asprintf(" ( %d )", count - number + 1));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
        result = ScanLineSpeed(link, idText, false, observer);
        return result.outcome == LineSpeedScanResult::Outcome::Found;
    });
    if (result.outcome != LineSpeedScanResult::Outcome::Found) return;
    // The port is closed again: the next operation opens it at what was found.
    speedBox->setCurrentIndex(speedBox->findText(result.line));
    speedBox->setEditText(result.line);
    bool number = false;
    const int position = QString::fromLatin1(result.address).toInt(&number, 10);
    if (number) ui->sbID->setValue(position);
}

ModuleSurveyWindow& TfrmModule::surveyWindow() {
    if (!surveyWindow_) {
        surveyWindow_ = std::make_unique<ModuleSurveyWindow>();
        surveyWindow_->applyLanguage(languageIndex_);
    }
    return *surveyWindow_;
}

void TfrmModule::mnuModuleSurveyClick() {
    if (operationRunning_) return;
    ModuleSurveyWindow& survey = surveyWindow();
    survey.show();
    survey.raise();
    survey.begin();
    ModuleSurveyResult result;
    bool opened = false;
    runOperation([&](Link& link) {
        opened = true;
        const auto title = [this](int left) {
            ui->pnMsg->setText(MessageTable::translate("Module survey", languageIndex_) +
                               QString::asprintf(" ( %d )", left));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
        title(kSurveyRequests);
        ModuleSurveyObserver observer;
        observer.progress = [&](int asked, int total) {
            survey.progress(asked, total);
            title(total - asked);
        };
        observer.found = [&](const SurveyedModule& module) { survey.addModule(module); };
        // The survey window's Cancel (or closing it) is heard while a request waits.
        observer.keepRunning = [&] { return !survey.cancelRequested(); };
        result = SurveyModules(link, deviceAddress_, observer);
        cancelledByUser_ = survey.cancelRequested();
        return result.complete();
    });
    survey.end(result, opened);
}

}  // namespace kt

// The File menu's "Find line speed" and "Module survey": the line-speed scan
// (controller/line_speed_scan.h) and the module bus survey
// (modules/module_survey.h), each run as an operation of the main window.
#include "app/window/module_survey_window.h"
#include "app/window/tfrm_module.h"
#include "controller/line_speed_scan.h"
#include "modules/module_survey.h"
#include "ui_tfrm_module.h"

#include <memory>

namespace kt {

// The scan sets the serial line: the port's, or the converter's when it
// takes line settings (RFC 2217); a raw converter's is set in the converter.
// A running continuous test holds the port.
bool TfrmModule::findSpeedApplies() const {
    return ui->pcPort->currentWidget() == ui->tsCom || ui->chkNetSetLine->isChecked();
}

void TfrmModule::updateFindSpeedEnabled() {
    ui->mnuFindSpeed->setEnabled(findSpeedApplies() && runningTest() == ContinuousTest::None);
}

void TfrmModule::mnuFindSpeedClick() {
    if (operationRunning() || !findSpeedApplies()) return;
    QComboBox* speedBox =
        ui->pcPort->currentWidget() == ui->tsCom ? ui->cmbBaudrate : ui->cmbNetBaudrate;
    auto result = std::make_shared<LineSpeedScanResult>();
    runOperation(
        [this, result, idText = ui->pnID->text().toLatin1()](Link& link) {
            LineSpeedScanObserver observer;
            // As Connect counts down its attempts: the settings left, this one included.
            observer.trying = [this](const QString& line, int number, int count) {
                runner_->onWindow([this, line, left = count - number + 1] {
                    runner_->showCountdown("Finding line speed ...", left, line);
                });
            };
            *result = ScanLineSpeed(link, idText, false, observer);
            return result->outcome == LineSpeedScanResult::Outcome::Found;
        },
        [this, result, speedBox](bool) {
            if (result->outcome != LineSpeedScanResult::Outcome::Found) return;
            // The port is closed again: the next operation opens it at what was found.
            speedBox->setCurrentIndex(speedBox->findText(result->line));
            speedBox->setEditText(result->line);
            bool number = false;
            const int position = QString::fromLatin1(result->address).toInt(&number, 10);
            if (number) ui->sbID->setValue(position);
        });
}

ModuleSurveyWindow& TfrmModule::surveyWindow() {
    if (!surveyWindow_) {
        surveyWindow_ = std::make_unique<ModuleSurveyWindow>();
        surveyWindow_->applyLanguage(languageIndex_);
    }
    return *surveyWindow_;
}

void TfrmModule::mnuModuleSurveyClick() {
    if (operationRunning()) return;
    ModuleSurveyWindow* survey = &surveyWindow();
    survey->show();
    survey->raise();
    survey->begin();
    auto result = std::make_shared<ModuleSurveyResult>();
    auto opened = std::make_shared<bool>(false);
    runner_->start(
        [this, survey, result, opened, address = deviceAddress_](Link& link) {
            *opened = true;
            const auto title = runner_->countdownShower("Module survey");
            title(kSurveyRequests);
            ModuleSurveyObserver observer;
            observer.progress = [this, survey, title](int asked, int total) {
                runner_->onWindow([survey, asked, total] { survey->progress(asked, total); });
                title(total - asked);
            };
            observer.found = [this, survey](const SurveyedModule& module) {
                runner_->onWindow([survey, module] { survey->addModule(module); });
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

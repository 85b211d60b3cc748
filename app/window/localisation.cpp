// The window in the chosen language: the base font and every text that
// follows the language. Texts not set here (ID:, S/N:, DI1, Alarm Off, ...)
// stay English in every language.
#include "app/fault_causes.h"
#include "app/fonts.h"
#include "app/message_lookup.h"
#include "app/window/menu_bar_style.h"
#include "app/window/module_survey_window.h"
#include "app/window/tfrm_module.h"
#include "app/window/traffic_monitor.h"
#include "ui_tfrm_module.h"

#include <QMenuBar>

namespace kt {

void TfrmModule::ApplyLanguageFont() {
    // Controls with a font of their own (large buttons, panels, the alarm
    // list, the I/O captions) keep it; all others follow the window's.
    const QFont base = languageFont(languageIndex_);
    setFont(base);
    // Their Chinese texts take the language's glyph forms all the same.
    for (QWidget* own : findChildren<QWidget*>())
        if (own->property(kPixelHeight).isValid())
            own->setFont(withLanguageFallbacks(own->font(), languageIndex_));
    // The menu bar stands for the system's menu bar, whose font does not
    // follow the window's size: keep the English text size in every language.
    QFont bar = base;
    bar.setPixelSize(languageFont(LanguageIndex::English).pixelSize());
    menuBar()->setFont(bar);
    // Nor its height (menu_bar_style.h): items as tall as the English ones.
    if (!menuBarStyle_) {
        QMenuBar english;
        english.setFont(languageFont(LanguageIndex::English));
        for (int title : {4, 3, 7})
            english.addAction(MessageTable::text(title, LanguageIndex::English));
        english.adjustSize();
        menuBarStyle_ =
            new MenuBarStyle(english.actionGeometry(english.actions().first()).height());
        menuBarStyle_->setParent(this);
        menuBar()->setStyle(menuBarStyle_);
    }
    // Menus are windows of their own and inherit no font from this one.
    for (QMenu* menu : {ui->mnuFile, ui->mnuLanguage}) menu->setFont(base);
    // Each language's name in its own script and glyph forms: the whole
    // language font, whose first family is only its Latin half.
    const std::pair<QAction*, LanguageIndex> names[] = {
        {ui->mnuEnglish, LanguageIndex::English},
        {ui->mnuSimplified, LanguageIndex::SimplifiedChinese},
        {ui->mnuTraditional, LanguageIndex::TraditionalChinese}};
    for (const auto& [action, language] : names) {
        QFont font = languageFont(language);
        font.setPixelSize(base.pixelSize());
        action->setFont(font);
    }
}

void TfrmModule::FormShow() {
    const auto language = [](LanguageIndex index) {
        return MessageTable::text(MessageTable::LanguageNames, index);
    };
    // 1, 2: font and check mark.
    ApplyLanguageFont();
    ui->mnuEnglish->setChecked(languageIndex_ == LanguageIndex::English);
    ui->mnuSimplified->setChecked(languageIndex_ == LanguageIndex::SimplifiedChinese);
    ui->mnuTraditional->setChecked(languageIndex_ == LanguageIndex::TraditionalChinese);
    // 3 to 5: caption and menus; each language keeps its own name.
    setWindowTitle(text(0));
    ui->mnuLanguage->setTitle(text(3));
    ui->mnuEnglish->setText(language(LanguageIndex::English));
    ui->mnuSimplified->setText(language(LanguageIndex::SimplifiedChinese));
    ui->mnuTraditional->setText(language(LanguageIndex::TraditionalChinese));
    ui->mnuFile->setTitle(text(4));
    ui->mnuFirmwareFile->setText(text(15));
    ui->mnuFindSpeed->setText(MessageTable::translate("Find line &speed", languageIndex_));
    ui->mnuModuleSurvey->setText(MessageTable::translate("Module &survey", languageIndex_));
    ui->chkNetSetLine->setText(
        MessageTable::translate("Set the converter's line (RFC 2217)", languageIndex_));
    ui->mnuAbout->setText(text(7));
    ui->mnuExit->setText(text(8));
    ui->mnuTraffic->setText(MessageTable::translate("&Traffic monitor", languageIndex_));
    if (traffic_) traffic_->setLanguage(languageIndex_);
    // 6: the port page.
    ui->pcPort->setTabText(ui->pcPort->indexOf(ui->tsNet), text(11));
    ui->pcPort->setTabText(ui->pcPort->indexOf(ui->tsCom), text(10));
    ui->lblPort->setText(text(13));
    ui->lblNetPort->setText(text(13));
    ui->lblSpeed->setText(text(12));
    ui->cmbPort->setNoAccessMark(NoAccessMark(languageIndex_));
    ui->cmbPort->refill();
    // 7: tabs.
    QTabWidget* pages = ui->pcMain;
    pages->setTabText(pages->indexOf(ui->tsTest), text(22));
    pages->setTabText(pages->indexOf(ui->tsCommand), text(24));
    pages->setTabText(pages->indexOf(ui->tsFunction), text(23));
    pages->setTabText(pages->indexOf(ui->tsFirmware), text(25));
    // 8: the large buttons of the basic test and the status line.
    ui->btnConnect->setText(text(16));
    ui->btnDIDO->setText(text(27));
    ui->btnPooling->setText(text(28));
    ui->btnInitial->setText(text(29));
    ui->btnReboot->setText(text(30));
    // A running test keeps its own line, in the new language.
    if (!runner_->showTestStatus()) ui->pnMsg->setText(text(2));
    // A running test's button keeps saying how to stop it.
    if (runningTest() != ContinuousTest::None) testButton(runningTest())->setText(text(26));
    // 9: command test.
    ui->lblCommandSend->setText(text(38));
    ui->lblCommandRecv->setText(text(39));
    ui->btnCommand->setText(text(37));
    ui->lblModuleCommandSend->setText(text(38));
    ui->lblModuleCommandRecv->setText(text(39));
    ui->btnModuleCommand->setText(text(37));
    ui->gbModule->setTitle(text(36));
    ui->gbController->setTitle(text(35));
    ui->lblModuleType->setText(text(40));
    // 10: the other buttons of the basic test.
    ui->btnSetDate->setText(text(31));
    ui->btnAlarm->setText(text(32));
    ui->btnSet115200->setText(text(33));
    ui->btnSet19200->setText(text(34));
    // 11: firmware upgrade.
    ui->pnFirmwareNote->setText(text(59));
    ui->moFirmwareNote->clear();
    ui->moFirmwareNote->appendPlainText(text(60));
    ui->btnFirmware->setText(text(53));
    // 12: controller ID.
    pages->setTabText(pages->indexOf(ui->tsSetCtrl), text(41));
    ui->gbSetCtrl->setTitle(text(42));
    ui->btnGetCtrlID->setText(text(43));
    ui->btnSetCtrlBySN->setText(text(44));
    ui->lblSetCtrlID->setText(text(45));
    // 13: V7 modules.
    pages->setTabText(pages->indexOf(ui->tsSetV7), text(46));
    ui->gbSetV7->setTitle(text(47));
    ui->btnV7SnId->setText(text(43));
    ui->btnV7SetId->setText(text(44));
    ui->lblSetV7Id->setText(text(45));
    ui->gbSetCardTypeByID->setTitle(text(48));
    ui->btnV7SetCardType->setText(text(49));
    ui->btnV7GetCardType->setText(text(50));
    // 14: V5 modules.
    pages->setTabText(pages->indexOf(ui->tsSetV5), text(51));
    ui->gbSetV5->setTitle(text(47));
    ui->btnV5SetId->setText(text(44));
    ui->btnV5GetSn->setText(text(43));
    ui->lblSetV5ID->setText(text(45));
    ui->lblV7Recv->setText(text(52));
    ui->lblV5Recv->setText(text(52));
    // The tool's own additions.
    if (surveyWindow_) surveyWindow_->applyLanguage(languageIndex_);
}

void TfrmModule::chooseLanguage(LanguageIndex language) {
    languageIndex_ = language;
    fields_.LanguageFlag = languageFlagFor(language);
    SaveLanguage(fields_.LanguageFlag);
    FormShow();
}

void TfrmModule::mnuEnglishClick() {
    chooseLanguage(LanguageIndex::English);
}

void TfrmModule::mnuSimplifiedClick() {
    chooseLanguage(LanguageIndex::SimplifiedChinese);
}

void TfrmModule::mnuTraditionalClick() {
    chooseLanguage(LanguageIndex::TraditionalChinese);
}

}  // namespace kt

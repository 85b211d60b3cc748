// The window in the chosen language: the base font, and every text that
// follows the language, each page's through its retranslate(). Texts not set
// (ID:, S/N:, DI1, Alarm Off, ...) stay English in every language.
#include "app/fonts.h"
#include "app/message_table.h"
#include "app/window/menu_bar_style.h"
#include "app/window/tfrm_module.h"
#include "app/window/window_menu.h"
#include "ui_tfrm_module.h"

#include <QMenuBar>

namespace kt {

void TfrmModule::ApplyLanguageFont() {
    // Controls with a font of their own (large buttons, panels, the alarm
    // list, the I/O captions) keep it; all others follow the window's.
    const QFont base = languageFont(session_->language);
    setFont(base);
    // Their Chinese texts take the language's glyph forms all the same.
    for (QWidget* own : findChildren<QWidget*>())
        if (own->property(kPixelHeight).isValid())
            own->setFont(withLanguageFallbacks(own->font(), session_->language));
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
    const WindowSession& s = *session_;
    // 1 to 5: font, check mark, caption and menus.
    ApplyLanguageFont();
    menu_->retranslate();
    setWindowTitle(s.text(0));
    // 6: the port page.
    ui->pcPort->retranslate();
    // 7: tabs.
    QTabWidget* pages = ui->pcMain;
    pages->setTabText(pages->indexOf(ui->tsTest), s.text(22));
    pages->setTabText(pages->indexOf(ui->tsCommand), s.text(24));
    pages->setTabText(pages->indexOf(ui->tsFunction), s.text(23));
    pages->setTabText(pages->indexOf(ui->tsFirmware), s.text(25));
    pages->setTabText(pages->indexOf(ui->tsSetCtrl), s.text(41));
    pages->setTabText(pages->indexOf(ui->tsSetV7), s.text(46));
    pages->setTabText(pages->indexOf(ui->tsSetV5), s.text(51));
    // 8: Connect and the status line; a running test keeps its own line,
    // in the new language.
    ui->btnConnect->setText(s.text(16));
    if (!runner_->showTestStatus()) ui->pnMsg->setText(s.text(2));
    // 8 to 14: the pages.
    ui->tsTest->retranslate();
    ui->tsCommand->retranslate();
    ui->tsFirmware->retranslate();
    ui->tsSetCtrl->retranslate();
    ui->tsSetV7->retranslate();
    ui->tsSetV5->retranslate();
}

}  // namespace kt

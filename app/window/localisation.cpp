// The window in the chosen language: the base font, and every text that
// follows the language, each page's through its retranslate(). Texts not set
// (ID:, S/N:, DI1, Alarm Off, ...) stay English in every language.
#include "app/catalogues.h"
#include "app/fonts.h"
#include "app/messages.h"
#include "app/window/menu_bar_style.h"
#include "app/window/tfrm_module.h"
#include "app/window/window_menu.h"
#include "ui_tfrm_module.h"

#include <QMenuBar>

namespace kt {

void TfrmModule::ApplyLanguageFont() {
    // Controls with a font of their own (large buttons, panels, the alarm
    // list, the I/O captions) keep it; all others follow the window's.
    const LanguageIndex fontLanguage = Catalogues::indexFor(session_->language);
    const QFont base = languageFont(fontLanguage);
    setFont(base);
    // Their Chinese texts take the language's glyph forms all the same.
    for (QWidget* own : findChildren<QWidget*>())
        if (own->property(kPixelHeight).isValid())
            own->setFont(withLanguageFallbacks(own->font(), fontLanguage));
    // The menu bar stands for the system's menu bar, whose font does not
    // follow the window's size: keep the English text size in every language.
    QFont bar = base;
    bar.setPixelSize(languageFont(LanguageIndex::English).pixelSize());
    menuBar()->setFont(bar);
    // Nor its height (menu_bar_style.h): items as tall as the English ones.
    if (!menuBarStyle_) {
        QMenuBar english;
        english.setFont(languageFont(LanguageIndex::English));
        for (const char* title : {"&File", "&Language", "&About"})
            english.addAction(Catalogues::translate(Catalogues::English, "Messages", title));
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
    for (const auto& [action, language] : menu_->languageItems()) {
        QFont font = languageFont(Catalogues::indexFor(language));
        font.setPixelSize(base.pixelSize());
        action->setFont(font);
    }
}

void TfrmModule::FormShow() {
    const WindowSession& s = *session_;
    // The language's catalogue answers tr() from here on.
    Catalogues::install(s.language);
    // 1 to 5: font, check mark, caption and menus.
    ApplyLanguageFont();
    menu_->retranslate();
    setWindowTitle(Messages::tr("KT350 KT460 Tools V0505"));
    // 6: the port page.
    ui->pcPort->retranslate();
    // 7: tabs.
    QTabWidget* pages = ui->pcMain;
    pages->setTabText(pages->indexOf(ui->tsTest), Messages::tr("Basic test"));
    pages->setTabText(pages->indexOf(ui->tsCommand), Messages::tr("Command test"));
    pages->setTabText(pages->indexOf(ui->tsFunction), Messages::tr("Function test"));
    pages->setTabText(pages->indexOf(ui->tsFirmware), Messages::tr("Firmware upgrade"));
    pages->setTabText(pages->indexOf(ui->tsSetCtrl), Messages::tr("Controller"));
    pages->setTabText(pages->indexOf(ui->tsSetV7), Messages::tr("V7 Module"));
    pages->setTabText(pages->indexOf(ui->tsSetV5), Messages::tr("V5 Module"));
    // 8: Connect and the status line; a running test keeps its own line,
    // in the new language.
    ui->btnConnect->setText(Messages::tr("Connect device"));
    if (!runner_->showTestStatus()) ui->pnMsg->setText(Messages::tr("Start connect device"));
    // 8 to 14: the pages.
    ui->tsTest->retranslate();
    ui->tsCommand->retranslate();
    ui->tsFirmware->retranslate();
    ui->tsSetCtrl->retranslate();
    ui->tsSetV7->retranslate();
    ui->tsSetV5->retranslate();
}

}  // namespace kt

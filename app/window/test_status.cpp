// The status line while a continuous test runs: the test's title, and,
// when the controller has stopped answering, since when. Kept as English
// texts of the tables, so a change of language shows the same line in the
// new one.
#include "message_table.h"
#include "tfrm_module.h"
#include "ui_tfrm_module.h"

#include <QCoreApplication>

namespace kt {

ShowStatus TfrmModule::testStatusShower() {
    return [this](const char* english) {
        testStatus_ = english;
        silentSince_ = QDateTime();
        showTestStatus();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

void TfrmModule::showSilence(bool silent, const QDateTime& since) {
    silentSince_ = silent ? since : QDateTime();
    showTestStatus();
}

bool TfrmModule::showTestStatus() {
    if (runningTest_ == ContinuousTest::None || !testStatus_) return false;
    QString line = MessageTable::translate(testStatus_, languageIndex_);
    if (silentSince_.isValid())
        line += QStringLiteral(": ") + MessageTable::translate("No answer since %1", languageIndex_)
                                           .arg(silentSince_.toString(QStringLiteral("hh:mm:ss")));
    ui->pnMsg->setText(line);
    ui->pnMsg->setToolTip(silentSince_.isValid() ? line : QString());
    return true;
}

}  // namespace kt

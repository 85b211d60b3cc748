// The question before an operation that cannot be undone. It is asked
// before the operation starts, so nothing is on the wire while it is open;
// No is the default, so a second Enter on the button that started it (the
// focus stays there) answers No rather than running it again.
#include "app/message_lookup.h"
#include "app/window/tfrm_module.h"

#include <QMessageBox>
#include <QPushButton>

namespace kt {

bool TfrmModule::confirmFirst(const char* title, const char* question) {
    QMessageBox box(QMessageBox::Warning, MessageTable::translate(title, languageIndex_),
                    MessageTable::translate(question, languageIndex_),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("confirmBox"));
    box.setFont(font());
    box.button(QMessageBox::Yes)->setText(MessageTable::translate("&Yes", languageIndex_));
    box.button(QMessageBox::No)->setText(MessageTable::translate("&No", languageIndex_));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace kt

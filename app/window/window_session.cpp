// What the pages share, and the standard error box of every handler.
#include "app/window/window_session.h"

#include "app/messages.h"
#include "link/visible_text.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace kt {

// The question before an operation that cannot be undone is asked before
// the operation starts, so nothing is on the wire while it is open; No is
// the default, so a second Enter on the button that started it (the focus
// stays there) answers No rather than running it again.
bool WindowSession::confirmFirst(QWidget* parent, const char* title, const char* question) const {
    QWidget* form = parent->window();
    QMessageBox box(QMessageBox::Warning, Messages::tr(title), Messages::tr(question),
                    QMessageBox::Yes | QMessageBox::No, form);
    box.setObjectName(QStringLiteral("confirmBox"));
    box.setFont(form->font());
    box.button(QMessageBox::Yes)->setText(Messages::tr("&Yes"));
    box.button(QMessageBox::No)->setText(Messages::tr("&No"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void WindowSession::SavePortSettings() {
    takePortPage();
    fields.type = portKind == PortKind::Network ? 1 : 0;
    kt::SavePortSettings(fields);
    fields.netLineStored = fields.netLineStored || fields.NetSetLine != 0;
}

void runHandler(QWidget* parent, const std::function<void()>& body) {
    QString error;
    try {
        body();
        return;
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    } catch (...) {
        error = QStringLiteral("Unknown error");
    }
    QMessageBox::critical(parent->window(), QGuiApplication::applicationDisplayName(), error);
}

void showReply(QLineEdit* field, const std::optional<QByteArray>& reply) {
    if (reply) field->setText(VisibleText(*reply));
}

}  // namespace kt

// What the window's pages share: the operation runner they run through, the
// controller Connect found, the language and the stored settings. The window
// makes one and hands it to each page; a page reaches no other page, and
// tells the window through its signals what another page must show.
#pragma once

#include "app/settings_store.h"
#include "app/window/operation_runner.h"
#include "controller/family.h"
#include "link/link.h"

#include <QByteArray>
#include <QList>
#include <functional>
#include <optional>

class QAction;
class QLineEdit;
class QWidget;

namespace kt {

class Tone;

struct WindowSession {
    WindowSession(OperationRunner& runner, Tone& tone) : runner(runner), tone(tone) {}

    OperationRunner& runner;
    Tone& tone;
    // What every operation puts in front of a controller command: "0000"
    // until a Connect finds a controller, then its address.
    QByteArray deviceAddress = "0000";
    // Unknown until a Connect has identified the controller.
    Family controllerFamily = Family::Unknown;
    // The language the window shows, by its catalogue's code (app/catalogues.h).
    QString language = QStringLiteral("en");
    StoredSettings fields;
    PortKind portKind = PortKind::Serial;
    // The port page's entries taken into the fields (the port page's own).
    std::function<PortSettings()> takePortPage;
    // The version text Connect read (pnVER).
    std::function<QByteArray()> versionText;
    // The controls that reach the device: a continuous test keeps them from
    // any other use.
    QList<QWidget*> deviceButtons;
    QList<QAction*> deviceActions;

    // Asks `question` (an English text of the window's) under `title`, Yes or
    // No, No the default; true for Yes.
    bool confirmFirst(QWidget* parent, const char* title, const char* question) const;
    bool runOperation(std::function<bool(Link&)> body, OperationRunner::Done done = {}) {
        return runner.startSimple(std::move(body), std::move(done));
    }
    bool operationRunning() const { return runner.running(); }
    // Takes the active port page into the fields and stores the port values.
    void SavePortSettings();
};

// Runs a handler. An exception that escapes it is shown in the standard
// error box over `parent`, and the tool goes on: Qt lets no exception cross
// its event loop.
void runHandler(QWidget* parent, const std::function<void()>& body);

// A slot for `method` of `page` that runs it through runHandler.
template <typename Page, typename... Args>
auto handler(Page* page, void (Page::*method)(Args...)) {
    return [page, method](Args... args) { runHandler(page, [&] { (page->*method)(args...); }); };
}

// A reply the controller or a module gave, shown as visible text in `field`;
// no reply leaves the field as it is.
void showReply(QLineEdit* field, const std::optional<QByteArray>& reply);

}  // namespace kt

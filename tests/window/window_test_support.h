// The window under test: a real TfrmModule with its settings in a temporary
// folder, a tone that records, and the port names the test chooses.
#pragma once

#include "app/window/tfrm_module.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QEvent>
#include <QLabel>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <stdexcept>

namespace kttest {

// Each tone, and whether the port was still open while it sounded.
class ProbeTone : public kt::Tone {
public:
    struct Played {
        int frequencyHz;
        int durationMs;
        bool portOpen;
        bool operator==(const Played&) const = default;
    };
    void play(int frequencyHz, int durationMs) override;

    kt::TfrmModule* window = nullptr;
    QList<Played> played;
};

// Every text the status line was painted with, each change once.
class StatusPainted : public QObject {
public:
    explicit StatusPainted(QLabel* status) : status_(status) { status->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && (texts.isEmpty() || texts.last() != status_->text()))
            texts << status_->text();
        return false;
    }
    QStringList texts;

private:
    QLabel* status_;
};

// How a test answers a question box.
enum class Answer { Yes, No, Enter };

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window (FormCreate) and shows it (FormShow); any earlier
    // one is closed first, as when the tool is started again.
    kt::TfrmModule& start();

    template <typename T = QWidget>
    T* child(const char* name) const {
        T* found = window_->findChild<T*>(QString::fromLatin1(name));
        if (!found) throw std::runtime_error(std::string("no control ") + name);
        return found;
    }
    QString status() const;
    QColor lamp() const;
    // Puts the port page on the network page, aimed at 127.0.0.1:port.
    void useNetwork(quint16 port);
    // Puts the port page on the serial page, with this port name.
    void useSerial(const QString& portName);
    // Presses the button; while the operation it started runs (a continuous
    // test until it has wound down), calls `step` every 5 ms until it returns
    // true. A press still running after 10 s, steps done or not, is pressed
    // again to cancel it, and the test fails.
    void pressDuring(const char* button, const std::function<bool()>& step);
    // Clicks the button with the mouse and waits until the operation it
    // started, if any, has ended.
    void press(const char* button);
    // Runs the operation on the window's worker and waits for its end: whether
    // it ended with "Command ok.".
    bool runAndWait(std::function<bool(kt::Link&)> body);
    // Waits, with the events running, until no operation runs (at most 60 s).
    void waitIdle();
    // Answers the next question box (before Set factory, a firmware load)
    // within 3 s by clicking Yes or No, or by pressing Enter; its text goes
    // to `asked`, and whether the port was open meanwhile to portOpenAsked_.
    void answerQuestion(Answer answer, QString* asked = nullptr);
    bool portOpenAsked_ = false;

    QTemporaryDir settingsDir_;
    QStringList ports_{QStringLiteral("ttyS0")};  // what the port box lists
    QList<kt::SerialPortRecord> portRecords_;     // or these, when not empty
    std::unique_ptr<kt::TfrmModule> window_;
    ProbeTone* tone_ = nullptr;
};

}  // namespace kttest

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

#include "tests/window/window_test_support.h"

#include "app/window/lamp.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace kttest {
namespace {

// The application lives from before the first test to after the last: a
// QApplication left to the exit handlers outlives Qt's own globals.
class Application : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char arg0_[12] = "test_window";
    char* argv_[2] = {arg0_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const application =
    ::testing::AddGlobalTestEnvironment(new Application);

}  // namespace

void ProbeTone::play(int frequencyHz, int durationMs) {
    played.append({frequencyHz, durationMs, window && window->link().isOpen()});
}

void WindowTest::SetUp() {
    ASSERT_TRUE(settingsDir_.isValid());
    // Never the machine's /etc/xdg or the account's own settings.
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope,
                       settingsDir_.filePath(QStringLiteral("machine")));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       settingsDir_.filePath(QStringLiteral("account")));
}

void WindowTest::TearDown() {
    window_.reset();
}

kt::TfrmModule& WindowTest::start() {
    window_.reset();
    auto tone = std::make_unique<ProbeTone>();
    tone_ = tone.get();
    window_ = std::make_unique<kt::TfrmModule>(std::move(tone), [this] {
        if (!portRecords_.isEmpty()) return portRecords_;
        QList<kt::SerialPortRecord> records;
        for (const QString& name : ports_) records.append({name, {}, {}, {}, true});
        return records;
    });
    tone_->window = window_.get();
    window_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    return *window_;
}

QString WindowTest::status() const {
    return child<QLabel>("pnMsg")->text();
}

QColor WindowTest::lamp() const {
    return child<kt::Lamp>("shComm")->fillColor();
}

void WindowTest::useNetwork(quint16 port) {
    child<QTabWidget>("pcPort")->setCurrentWidget(child("tsNet"));
    child<QLineEdit>("edIP")->setText(QStringLiteral("127.0.0.1"));
    child<QLineEdit>("edPort")->setText(QString::number(port));
}

void WindowTest::useSerial(const QString& portName) {
    child<QTabWidget>("pcPort")->setCurrentWidget(child("tsCom"));
    child<QComboBox>("cmbPort")->setEditText(portName);
}

void WindowTest::answerQuestion(Answer answer, QString* asked) {
    auto* ticks = new QTimer(window_.get());
    auto* clock = new QElapsedTimer;
    clock->start();
    ticks->setInterval(5);
    QObject::connect(ticks, &QTimer::timeout, [=, this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->objectName() == u"confirmBox") {
            if (asked) *asked = box->text();
            portOpenAsked_ = window_->link().isOpen();
            if (answer == Answer::Enter)
                QTest::keyClick(box, Qt::Key_Return);
            else
                QTest::mouseClick(
                    box->button(answer == Answer::Yes ? QMessageBox::Yes : QMessageBox::No),
                    Qt::LeftButton);
        } else if (clock->elapsed() < 3000) {
            return;
        }
        ticks->stop();
        ticks->deleteLater();
        delete clock;
    });
    ticks->start();
}

void WindowTest::pressDuring(const char* button, const std::function<bool()>& step) {
    auto* pressed = child<QPushButton>(button);
    QElapsedTimer clock;
    clock.start();
    bool done = false;
    bool cancelled = false;
    QTest::mouseClick(pressed, Qt::LeftButton);
    while (window_->operationRunning()) {
        if (clock.elapsed() > 10000 && !cancelled) {
            ADD_FAILURE() << button << " still running after 10 s";
            cancelled = true;
            QTest::mouseClick(pressed, Qt::LeftButton);
        }
        if (!done) done = step();
        QTest::qWait(5);
    }
    EXPECT_TRUE(done) << button << " returned before its steps were done";
}

void WindowTest::press(const char* button) {
    QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    waitIdle();
}

bool WindowTest::runAndWait(std::function<bool(kt::Link&)> body) {
    bool ok = false;
    window_->runOperation(std::move(body), [&ok](bool verdict) { ok = verdict; });
    waitIdle();
    return ok;
}

void WindowTest::waitIdle() {
    QElapsedTimer clock;
    clock.start();
    while (window_->operationRunning() && clock.elapsed() < 60000) QTest::qWait(5);
    EXPECT_FALSE(window_->operationRunning()) << "an operation still runs after 60 s";
}

}  // namespace kttest

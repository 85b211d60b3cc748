// The About box: the table's texts in the current language, and under them
// the version line every program's --version prints.
#include "app/catalogues.h"
#include "app/messages.h"
#include "app/window/display_choice.h"
#include "tests/window/window_test_support.h"
#include "version/version.h"

#include <QAction>
#include <QApplication>
#include <QMap>
#include <QMessageBox>
#include <QTimer>

using namespace kttest;
using kt::LanguageIndex;

TEST_F(WindowTest, AboutBoxShowsTheTableTextAndTheVersionInTheCurrentLanguage) {
    start();
    child<QAction>("mnuSimplified")->trigger();

    QString title;
    QString text;
    // The box is modal: read it from inside its own event loop, then close it.
    QTimer poll;
    poll.callOnTimeout([&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    poll.start(10);
    QTimer::singleShot(10000, [] {
        if (QWidget* stuck = QApplication::activeModalWidget()) stuck->close();
    });
    child<QAction>("mnuAbout")->trigger();
    poll.stop();

    EXPECT_EQ(title, kt::Catalogues::translate(u"zh_CN", "Messages", kt::Messages::source(6)));
    const QString version = kt::VersionLine(QStringLiteral("kttools"));
    EXPECT_EQ(text, kt::Catalogues::translate(u"zh_CN", "Messages", kt::Messages::source(61)) +
                        QStringLiteral("\n\n") + version);
    EXPECT_TRUE(version.startsWith(QStringLiteral("kttools ") + kt::ToolVersion()));
    // The caption keeps the name the technicians know.
    EXPECT_TRUE(window_->windowTitle().endsWith(QStringLiteral(" V0505")));
}

namespace {

// Which display plugin kttools starts on: a Wayland session without Qt's
// Wayland plugin falls back to X11 where there is one, or is refused in one
// sentence; a named plugin is left to Qt.
TEST(DisplayChoice, FallsBackToX11OrRefusesInOneSentence) {
    const auto choose = [](QMap<QString, QString> environment, bool waylandPlugin,
                           bool platformArgument = false) {
        return kt::chooseDisplay(
            [&](const char* name) { return environment.value(QString::fromLatin1(name)); },
            [&](const QString& plugin) { return plugin != u"wayland" || waylandPlugin; },
            platformArgument);
    };
    const QMap<QString, QString> wayland{{"WAYLAND_DISPLAY", "wayland-0"}};
    QMap<QString, QString> both = wayland;
    both.insert("DISPLAY", ":0");

    EXPECT_TRUE(choose(wayland, true).platform.isEmpty());
    EXPECT_TRUE(choose(wayland, true).refusal.isEmpty());
    EXPECT_EQ(choose(both, false).platform, "xcb");
    EXPECT_TRUE(choose(both, false).refusal.isEmpty());
    const kt::DisplayChoice refused = choose(wayland, false);
    EXPECT_TRUE(refused.refusal.contains(u"install qt6-wayland")) << refused.refusal.toStdString();
    EXPECT_FALSE(refused.refusal.contains(u'\n'));
    EXPECT_TRUE(choose({}, true).refusal.startsWith(u"kttools: no display"));
    EXPECT_TRUE(choose({{"DISPLAY", ":0"}}, false).platform.isEmpty());
    EXPECT_TRUE(choose(wayland, false, true).refusal.isEmpty());
    EXPECT_TRUE(choose({{"QT_QPA_PLATFORM", "offscreen"}}, false).refusal.isEmpty());
}

}  // namespace

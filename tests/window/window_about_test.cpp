// The About box: the table's texts in the current language, and under them
// the version line every program's --version prints.
#include "message_table.h"
#include "version.h"
#include "window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

using namespace kttest;
using kt::LanguageIndex;
using kt::MessageTable;

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

    EXPECT_EQ(title, MessageTable::text(6, LanguageIndex::SimplifiedChinese));
    const QString version = kt::VersionLine(QStringLiteral("kttools"));
    EXPECT_EQ(text, MessageTable::text(61, LanguageIndex::SimplifiedChinese) +
                        QStringLiteral("\n\n") + version);
    EXPECT_TRUE(version.startsWith(QStringLiteral("kttools ") + kt::ToolVersion()));
    // The caption keeps the name the technicians know.
    EXPECT_TRUE(window_->windowTitle().endsWith(QStringLiteral(" V0505")));
}

// Firmware files that hold no firmware, and files that never end or never
// open: refused before a single byte goes to the controller.
#include "firmware/firmware_file.h"
#include "tests/safety/safety_sim.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace kt::safety {
namespace {

QByteArray kt740Header() {
    return QByteArray("KT740MX-V6").leftJustified(16, '\0');
}

class Files : public ::testing::Test {
protected:
    QString write(const char* name, const QByteArray& contents) {
        const QString path = dir_.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }
    QString fifo() {
        const QString path = dir_.filePath(QStringLiteral("fifo"));
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return path;
    }
    QTemporaryDir dir_;
};

// A header with nothing behind it gave 0 blocks, and the programmer went on
// to erase a family-4 controller and restart it into nothing.
TEST_F(Files, FirmwareWithoutDataIsRefused) {
    for (const QByteArray& contents : {kt740Header(), kt740Header().left(10), QByteArray()}) {
        SCOPED_TRACE(contents.size());
        const FirmwareFile loaded =
            LoadFirmwareFile(write("empty.KTB", contents), Family::KT740, {});
        EXPECT_FALSE(loaded.ok());
        EXPECT_STREQ(loaded.errorText(), "Load firmware file error!");
        EXPECT_EQ(loaded.cause, QStringLiteral("the file holds no firmware"));
        EXPECT_FALSE(loaded.image);
    }
    const FirmwareFile one =
        LoadFirmwareFile(write("one.KTB", kt740Header() + "x"), Family::KT740, {});
    ASSERT_TRUE(one.ok());
    EXPECT_EQ(one.image->blockCount(), 1);
}

// /dev/zero grew the reader to gigabytes; a FIFO blocked it for good.
TEST_F(Files, OnlyBoundedRegularFilesAreRead) {
    QString why;
    const QString pipe = fifo();
    const qint64 ms = timed([&] { EXPECT_FALSE(ReadBoundedFile(pipe, 1024, &why)); });
    EXPECT_LT(ms, 1000) << "a FIFO without a writer must not block";
    EXPECT_TRUE(why.contains(u"not a regular file")) << why.toStdString();
    EXPECT_FALSE(ReadBoundedFile(QStringLiteral("/dev/zero"), 1024, &why));
    EXPECT_TRUE(why.contains(u"/dev/zero")) << why.toStdString();
    EXPECT_FALSE(ReadBoundedFile(dir_.path(), 1024, &why)) << "a folder";

    EXPECT_EQ(ReadBoundedFile(write("exact", QByteArray(1024, 'a')), 1024, &why)->size(), 1024);
    EXPECT_FALSE(ReadBoundedFile(write("over", QByteArray(1025, 'a')), 1024, &why));
    EXPECT_TRUE(why.contains(u"1024")) << why.toStdString();

    // The firmware loader and the menu's header read keep the same bounds.
    const QByteArray large = kt740Header() + QByteArray(int(kMaxFirmwareFileSize), 'a');
    const FirmwareFile tooLarge = LoadFirmwareFile(write("large.KTB", large), Family::KT740, {});
    EXPECT_EQ(tooLarge.outcome, FirmwareFile::Outcome::CannotOpen);
    EXPECT_TRUE(tooLarge.cause.contains(QString::number(kMaxFirmwareFileSize)));
    EXPECT_EQ(LoadFirmwareFile(pipe, Family::KT740, {}).outcome, FirmwareFile::Outcome::CannotOpen);
    EXPECT_FALSE(ReadFirmwareHeader(pipe));
    EXPECT_FALSE(ReadFirmwareHeader(QStringLiteral("/dev/zero")));
    EXPECT_EQ(ReadFirmwareHeader(write("ok.KTB", kt740Header() + "x")), "KT740MX-V6");
}

}  // namespace
}  // namespace kt::safety

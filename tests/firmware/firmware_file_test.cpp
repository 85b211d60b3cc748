// LoadFirmwareFile: how a file is cut into a family's blocks, which files a
// controller accepts, and what a family without a loader or a missing file
// gives.
#include "firmware/firmware_file.h"
#include "tests/firmware/firmware_test_support.h"

#include <gtest/gtest.h>

namespace kt::test {
namespace {

using Outcome = FirmwareFile::Outcome;

FirmwareFile load(const QByteArray& fileHeader, const QByteArray& data, int family,
                  const QByteArray& version = {}) {
    const TempFirmwareFile file(fileHeader, data);
    return LoadFirmwareFile(file.path(), static_cast<Family>(family), version);
}

QByteArray ff(int count) {
    return QByteArray(count, '\xFF');
}

TEST(FirmwareFile, CutsTheDataIntoTheFamilysBlocksFilledWithFF) {
    const QByteArray kt320 = header("KT320MX-V5");

    // A header with no data would erase the controller and start it into
    // nothing: refused as a file that cannot be loaded.
    const FirmwareFile empty = load(kt320, {}, 3);
    EXPECT_EQ(empty.outcome, Outcome::CannotOpen);
    EXPECT_STREQ(empty.errorText(), "Load firmware file error!");
    EXPECT_FALSE(empty.image);

    const QByteArray data1000 = firmwareData(1000);
    const FirmwareFile partial = load(kt320, data1000, 3);
    ASSERT_TRUE(partial.ok());
    ASSERT_EQ(partial.image->blockCount(), 2);
    EXPECT_EQ(partial.image->blockSize, 512);
    EXPECT_EQ(partial.image->blocks[0], data1000.left(512));
    EXPECT_EQ(partial.image->blocks[1], data1000.mid(512) + ff(24));

    EXPECT_EQ(load(kt320, firmwareData(1024), 3).image->blockCount(), 2);
    EXPECT_EQ(load(kt320, firmwareData(1025), 3).image->blockCount(), 3);

    // Beyond the limit the file is cut without a word.
    const QByteArray data70000 = firmwareData(70000);
    const Model kt300 = modelFor(1);
    const FirmwareFile cut = load(header(kt300.header), data70000, 1, kt300.version);
    ASSERT_TRUE(cut.ok());
    ASSERT_EQ(cut.image->blockCount(), 248);
    EXPECT_EQ(joined(*cut.image), data70000.left(63488));
    const FirmwareFile large = load(kt320, firmwareData(200000), 3);
    EXPECT_EQ(large.image->blockCount(), 124);
    EXPECT_EQ(joined(*large.image).size(), 63488);

    const QByteArray data100 = firmwareData(100);
    const Model kt410 = modelFor(4);
    const FirmwareFile small = load(header(kt410.header), data100, 4, kt410.version);
    ASSERT_EQ(small.image->blockCount(), 2);
    EXPECT_EQ(small.image->blocks[1], data100.mid(64) + ff(28));
    const FirmwareFile full = load(header(kt410.header), firmwareData(70000), 4, kt410.version);
    EXPECT_EQ(full.image->blockCount(), 984);
}

TEST(FirmwareFile, AcceptsOnlyTheModelOfTheConnectedController) {
    struct Case {
        int family;
        QByteArray header;
        QByteArray version;
        bool accepted;
    };
    const QList<Case> cases = {
        {3, "KT320MX-V5", "", true},
        {3, "KT320MX-V5.01", "", true},  // ten characters are compared
        {3, "kt320mx-v5", "", false},    // case counts
        {3, "KT320MX-V", "", false},
        {3, "KT740MX-V6", "", false},
        {6, "KT740MX-V6", "", true},
        {6, "KT320MX-V5", "", false},
        // 1, 2, 5: eleven characters of the version panel.
        {2, "KT400B01-V4", "KT400B01-V4230415", true},
        {2, "KT400B01-V4X", "KT400B01-V4230415", true},
        {2, "KT400B01-V3", "KT400B01-V4230415", false},
        {5, "KT200", "KT200", true},  // a shorter panel is compared whole
        {5, "KT200B01-V2", "KT200", false},
        // A KT370 takes the KT310 firmware of its board revision, eight
        // characters; what follows is not compared.
        {1, "KT310B01", "KT370B01-V3230415", true},
        {1, "KT310B01-anything", "KT370B01-V3230415", true},
        {1, "KT310B02", "KT370B01-V3230415", false},
        {1, "KT370B01-V3", "KT370B01-V3230415", false},
        {1, "KT310", "KT370", true},
        // 4: seven characters of the version panel.
        {4, "KT410XB-V3", "KT410XB V2.13.08", true},
        {4, "KT410XC", "KT410XB V2.13.08", false},
    };
    for (const Case& c : cases) {
        const FirmwareFile file =
            load(header(c.header.left(16)), firmwareData(300), c.family, c.version);
        EXPECT_EQ(file.ok(), c.accepted) << c.family << " " << c.header.constData();
        if (!c.accepted) {
            EXPECT_EQ(file.outcome, Outcome::ModelRefused);
            EXPECT_STREQ(file.errorText(), "Firmware file format model error!");
        }
    }
}

TEST(FirmwareFile, HeaderTextEndsAtTheFirstZeroByteOrAfterSixteen) {
    const QByteArray withTail = QByteArray("KT320MX-V5\0junk!", 16);
    const FirmwareFile tail = load(withTail, firmwareData(10), 3);
    EXPECT_TRUE(tail.ok());
    EXPECT_EQ(tail.headerText, "KT320MX-V5");

    const FirmwareFile sixteen = load("KT320MX-V5ABCDEF", firmwareData(10), 3);
    EXPECT_EQ(sixteen.headerText, "KT320MX-V5ABCDEF");
    EXPECT_EQ(joined(*sixteen.image).left(10), firmwareData(10)) << "data begin at byte 16";

    // A file shorter than a header: its bytes are the header text, and it
    // holds no firmware.
    const FirmwareFile stub = load("KT320MX-V5", {}, 3);
    EXPECT_FALSE(stub.ok());
    EXPECT_EQ(stub.headerText, "KT320MX-V5");
    EXPECT_EQ(stub.cause, "the file holds no firmware");

    const TempFirmwareFile chosen(withTail, firmwareData(10));
    EXPECT_EQ(ReadFirmwareHeader(chosen.path()), QByteArray("KT320MX-V5"));
    EXPECT_FALSE(ReadFirmwareHeader(chosen.path() + ".missing"));
}

TEST(FirmwareFile, FamilyWithoutALoaderReadsNoDataAndAMissingFileAlwaysFails) {
    for (int family : {0, 7, 8, 9}) {
        const FirmwareFile file = load(header("anything"), firmwareData(5000), family);
        EXPECT_TRUE(file.ok()) << family;
        EXPECT_FALSE(file.image) << "the block count stays as it was";
        EXPECT_EQ(file.headerText, "anything");
    }
    const TempFirmwareFile file(header("KT320MX-V5"), {});
    for (int family : {0, 3}) {
        const FirmwareFile missing =
            LoadFirmwareFile(file.path() + ".missing", static_cast<Family>(family), {});
        EXPECT_EQ(missing.outcome, Outcome::CannotOpen);
        EXPECT_STREQ(missing.errorText(), "Load firmware file error!");
        EXPECT_FALSE(missing.image);
    }
    EXPECT_EQ(LoadFirmwareFile(QFileInfo(file.path()).path(), Family::V5, {}).outcome,
              Outcome::CannotOpen)
        << "a folder is no file";
}

}  // namespace
}  // namespace kt::test

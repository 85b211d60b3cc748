// ktcli's words for a failed link: the port, the group to join or the
// holder of the port, and the prefix that says why ktcli ends with exit 3.
#include "cli/link_error_text.h"

#include <gtest/gtest.h>

using kt::LinkError;
using kt::LinkFault;
using ktcli::LinkErrorText;
using ktcli::OpenErrorText;
using namespace Qt::StringLiterals;

namespace {

LinkError failure(LinkFault kind, const QString& port) {
    LinkError error = LinkError::of(kind, u"Permission denied"_s);
    error.port = port;
    return error;
}

}  // namespace

TEST(LinkErrorText, NoAccessNamesTheOwningGroupOrTheAdministrator) {
    LinkError denied = failure(LinkFault::NoAccess, u"ttyUSB0"_s);
    denied.group = u"uucp"_s;
    EXPECT_EQ(LinkErrorText(denied),
              u"serial port ttyUSB0: permission denied; add your account to the uucp group "
              u"(sudo usermod -aG uucp $USER) and log in again"_s);
    EXPECT_EQ(OpenErrorText(denied), u"no access: "_s + LinkErrorText(denied));

    denied.logInAgain = true;  // added, but this session began before
    EXPECT_EQ(LinkErrorText(denied),
              u"serial port ttyUSB0: permission denied; your account was added to the uucp "
              u"group after this session began, log in again"_s);

    denied.group.clear();  // mode 0600: no group helps
    EXPECT_EQ(LinkErrorText(denied),
              u"serial port ttyUSB0: permission denied; the device is not open to any group, "
              u"ask the administrator"_s);
}

TEST(LinkErrorText, InUseNamesTheHolderWhereItsLockSays) {
    LinkError held = failure(LinkFault::InUse, u"ttyACM0"_s);
    EXPECT_EQ(LinkErrorText(held), u"serial port ttyACM0 is in use by another program"_s);
    held.holderPid = 4242;
    EXPECT_EQ(LinkErrorText(held),
              u"serial port ttyACM0 is in use by another program (process 4242)"_s);
    held.holder = u"minicom"_s;
    EXPECT_EQ(LinkErrorText(held),
              u"serial port ttyACM0 is in use by another program (minicom, process 4242)"_s);
    // In use is no port error of its own: the line says it all.
    EXPECT_EQ(OpenErrorText(held), LinkErrorText(held));
}

TEST(LinkErrorText, OtherKindsSayTheLinksOwnLineAndNothingForNone) {
    const LinkError absent = failure(LinkFault::NoSuchPort, u"/dev/ttyUSB9"_s);
    EXPECT_EQ(LinkErrorText(absent), u"no such serial port: /dev/ttyUSB9"_s);
    EXPECT_EQ(OpenErrorText(absent), u"no such port: no such serial port: /dev/ttyUSB9"_s);

    const LinkError refused =
        LinkError::of(LinkFault::Refused, u"cannot connect to 127.0.0.5:5000: Connection refused"_s);
    EXPECT_EQ(LinkErrorText(refused), refused.text);
    EXPECT_EQ(OpenErrorText(refused), refused.text);
    EXPECT_TRUE(LinkErrorText(LinkError{}).isEmpty());
}

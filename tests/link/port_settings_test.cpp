// The port page's texts: serial line settings, network port and address.
#include "link/port_settings.h"

#include "tests/link/print_helpers.h"

#include <gtest/gtest.h>

using namespace kt;

namespace {

using P = QSerialPort;
constexpr std::nullopt_t kKeep = std::nullopt;  // field left out: the port keeps its own

struct LineCase {
    const char16_t* text;
    qint32 baud;
    std::optional<P::Parity> parity;
    std::optional<P::DataBits> dataBits;
    std::optional<P::StopBits> stopBits;
};

}  // namespace

TEST(LineSettings, AcceptedTexts) {
    const LineCase cases[] = {
        {u"19200,e,8,1", 19200, P::EvenParity, P::Data8, P::OneStop},
        {u"4800,n,8,1", 4800, P::NoParity, P::Data8, P::OneStop},
        {u"921600,E,8,1", 921600, P::EvenParity, P::Data8, P::OneStop},
        {u" 38400 , N , 8 , 1 ", 38400, P::NoParity, P::Data8, P::OneStop},
        {u"96,n,8,1", 9600, P::NoParity, P::Data8, P::OneStop},
        {u"19,e,8,1", 19200, P::EvenParity, P::Data8, P::OneStop},
        {u"11", 110, kKeep, kKeep, kKeep},
        {u"115200,o,7,2", 115200, P::OddParity, P::Data7, P::TwoStop},
        {u"9600,m,5,1.5", 9600, P::MarkParity, P::Data5, P::OneAndHalfStop},
        {u"9600,S,6,1", 9600, P::SpaceParity, P::Data6, P::OneStop},
        {u"9600", 9600, kKeep, kKeep, kKeep},
        {u"9600,n", 9600, P::NoParity, kKeep, kKeep},
        {u"9600,n,7", 9600, P::NoParity, P::Data7, kKeep},
    };
    for (const LineCase& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        const auto parsed = ParseLineSettings(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(parsed->baud, c.baud) << text;
        EXPECT_EQ(parsed->parity, c.parity) << text;
        EXPECT_EQ(parsed->dataBits, c.dataBits) << text;
        EXPECT_EQ(parsed->stopBits, c.stopBits) << text;
    }
}

TEST(LineSettings, RefusedTexts) {
    for (const char16_t* text : {u"", u" ", u"abc", u"9600,x,8,1", u"9600,n,9,1", u"9600,n,4,1",
                                 u"9600,n,8,3", u"9600,n,8,0", u"9600,n,8,1,x", u"9600,n,8,1,",
                                 u"9600,no,8,1", u"-9600,n,8,1", u"96OO,n,8,1", u"9600;n;8;1"}) {
        EXPECT_FALSE(ParseLineSettings(QString::fromUtf16(text))) << QString::fromUtf16(text);
    }
}

TEST(NetPort, ConvertedLikeACDecimalConversion) {
    const std::pair<const char16_t*, int> cases[] = {
        {u"5003", 5003},
        {u"  +5003", 5003},
        {u"\t5003 ", 5003},
        {u"-1", 65535},
        {u"-5003", 60533},
        {u"abc", 0},
        {u"", 0},
        {u"+", 0},
        {u" 12ab", 12},
        {u"5 003", 5},
        {u"65535", 65535},
        {u"65536", 0},
        {u"70000", 4464},
        // Far beyond 64 bits: only the low 16 bits are kept, without overflow.
        {u"123456789012345678901234567890", 2770},
        {u"-123456789012345678901234567890", 65536 - 2770},
    };
    for (const auto& [text, port] : cases)
        EXPECT_EQ(ConvertNetPort(QString::fromUtf16(text)), port) << QString::fromUtf16(text);
}

TEST(DottedIPv4, StrictFourFieldsNoLookup) {
    EXPECT_EQ(ParseDottedIPv4(u"127.0.0.1"), 0x7F000001u);
    EXPECT_EQ(ParseDottedIPv4(u"192.168.1.101"), 0xC0A80165u);
    EXPECT_EQ(ParseDottedIPv4(u"0.0.0.0"), 0u);
    EXPECT_EQ(ParseDottedIPv4(u"255.255.255.255"), 0xFFFFFFFFu);

    for (const char16_t* text :
         {u"", u"localhost", u"1.2.3", u"1.2.3.4.5", u"256.1.1.1", u"1.2.3.256", u"1..2.3",
          u"1.2.3.", u" 1.2.3.4", u"1.2.3.4 ", u"1.2.3.-4", u"1.2.3.0x4", u"1.2.3.1000"}) {
        EXPECT_FALSE(ParseDottedIPv4(QString::fromUtf16(text))) << QString::fromUtf16(text);
    }
}

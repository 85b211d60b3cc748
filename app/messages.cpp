#include "app/messages.h"

#include <array>

namespace kt {
namespace {

// Entries 24 and 37 are the same text, and so one entry of the catalogues;
// 39 and 52 differ only in the letter case of "data".
constexpr std::array<const char*, Messages::Count> kSources = {
    QT_TRANSLATE_NOOP("Messages", "KT350 KT460 Tools V0505"),
    QT_TRANSLATE_NOOP("Messages", "Open communication port error!"),
    QT_TRANSLATE_NOOP("Messages", "Start connect device"),
    QT_TRANSLATE_NOOP("Messages", "&Language"),
    QT_TRANSLATE_NOOP("Messages", "&File"),
    QT_TRANSLATE_NOOP("Messages", "&Setup"),
    QT_TRANSLATE_NOOP("Messages", "About"),
    QT_TRANSLATE_NOOP("Messages", "&About"),
    QT_TRANSLATE_NOOP("Messages", "E&xit"),
    QT_TRANSLATE_NOOP("Messages", "&English"),
    QT_TRANSLATE_NOOP("Messages", "COM"),
    QT_TRANSLATE_NOOP("Messages", "NET"),
    QT_TRANSLATE_NOOP("Messages", "Speed:"),
    QT_TRANSLATE_NOOP("Messages", "Port:"),
    QT_TRANSLATE_NOOP("Messages", "Test card"),
    QT_TRANSLATE_NOOP("Messages", "&Firmware file"),
    QT_TRANSLATE_NOOP("Messages", "Connect device"),
    QT_TRANSLATE_NOOP("Messages", "Connecting device ..."),
    QT_TRANSLATE_NOOP("Messages", "Connect device error!"),
    QT_TRANSLATE_NOOP("Messages", "Connect device ok."),
    QT_TRANSLATE_NOOP("Messages", "Command ok."),
    QT_TRANSLATE_NOOP("Messages", "Command error!"),
    QT_TRANSLATE_NOOP("Messages", "Basic test"),
    QT_TRANSLATE_NOOP("Messages", "Function test"),
    QT_TRANSLATE_NOOP("Messages", "Command test"),
    QT_TRANSLATE_NOOP("Messages", "Firmware upgrade"),
    QT_TRANSLATE_NOOP("Messages", "Cancel test"),
    QT_TRANSLATE_NOOP("Messages", "DIDO test"),
    QT_TRANSLATE_NOOP("Messages", "Pooling data test"),
    QT_TRANSLATE_NOOP("Messages", "Set factory"),
    QT_TRANSLATE_NOOP("Messages", "Set reboot"),
    QT_TRANSLATE_NOOP("Messages", "Set date and time"),
    QT_TRANSLATE_NOOP("Messages", "Alarm test"),
    QT_TRANSLATE_NOOP("Messages", "Set baudrate 115200,n,8,1"),
    QT_TRANSLATE_NOOP("Messages", "Set baudrate 19200,e,8,1"),
    QT_TRANSLATE_NOOP("Messages", "Controller command test"),
    QT_TRANSLATE_NOOP("Messages", "Module command test"),
    QT_TRANSLATE_NOOP("Messages", "Command test"),
    QT_TRANSLATE_NOOP("Messages", "Send command:"),
    QT_TRANSLATE_NOOP("Messages", "Receive data:"),
    QT_TRANSLATE_NOOP("Messages", "Type:"),
    QT_TRANSLATE_NOOP("Messages", "Controller"),
    QT_TRANSLATE_NOOP("Messages", "Set Controller"),
    QT_TRANSLATE_NOOP("Messages", "Get S/N or ID"),
    QT_TRANSLATE_NOOP("Messages", "Set ID by S/N"),
    QT_TRANSLATE_NOOP("Messages", "Set ID:"),
    QT_TRANSLATE_NOOP("Messages", "V7 Module"),
    QT_TRANSLATE_NOOP("Messages", "Set Reader/DIDO"),
    QT_TRANSLATE_NOOP("Messages", "Set Card Type by ID"),
    QT_TRANSLATE_NOOP("Messages", "Set Card Type"),
    QT_TRANSLATE_NOOP("Messages", "Get Card Type"),
    QT_TRANSLATE_NOOP("Messages", "V5 Module"),
    QT_TRANSLATE_NOOP("Messages", "Receive Data:"),
    QT_TRANSLATE_NOOP("Messages", "Firmware load"),
    QT_TRANSLATE_NOOP("Messages", "Programming ..."),
    QT_TRANSLATE_NOOP("Messages", "Verifying ..."),
    QT_TRANSLATE_NOOP("Messages", "Upgrading ..."),
    QT_TRANSLATE_NOOP("Messages", "Load firmware file error!"),
    QT_TRANSLATE_NOOP("Messages", "Firmware file format model error!"),
    QT_TRANSLATE_NOOP("Messages", "Note !"),
    QT_TRANSLATE_NOOP("Messages",
                      "Upgrading the firmware of the Product will lost some data on the Product. "
                      "To ensure data security, it is recommended that you back up your data "
                      "before update."),
    QT_TRANSLATE_NOOP("Messages", "This tool support: KT350/KT460 serial controller ."),
};

}  // namespace

const char* Messages::source(int number) {
    return number >= 0 && number < Count ? kSources[static_cast<size_t>(number)] : nullptr;
}

}  // namespace kt

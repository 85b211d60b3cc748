#include "app/message_table.h"

#include "app/added_messages.h"

#include <array>

namespace kt {
namespace {

using Texts = std::array<const char*, LanguageCount>;

// UTF-8. Columns: English, Simplified Chinese, Traditional Chinese.
//
// The Chinese texts keep to the terms of the product's Chinese manuals in both
// scripts: 设定/設定 (set), 测试/測試 (test), 指令 (command), 装置/裝置 (device),
// 控制器 (controller), 模组/模組 (module), 读卡机/讀卡機 (card reader),
// 序号/序號 (serial number), 韧体/韌體 (firmware), 档案/檔案 (file),
// 资料/資料 (data), 连接阜/連接阜 (port), 鲍率/鮑率 (baud rate). The
// Simplified column is the same wording in simplified characters, and each
// column has to fit its code page (GB2312, Big5): the tests check that.
// Model names, digits, line settings and ASCII punctuation stay as in
// English; a menu accelerator becomes "(&X)" behind the Chinese word, with
// the English letter. "COM" stays: it is how every PC and adapter names a
// serial port.
//
// Entries 24 and 37 are the same texts, and 39 and 52 differ only in the
// English letter case; they are separate entries all the same.
//
// clang-format off
constexpr std::array<Texts, MessageTable::Count> kMessages = {{
    /*  0 */ {"KT350 KT460 Tools V0505",
              "KT350 KT460 工具程式 V0505",
              "KT350 KT460 工具程式 V0505"},
    /*  1 */ {"Open communication port error!",
              "开启连接阜错误!",
              "開啟連接阜錯誤!"},
    /*  2 */ {"Start connect device",
              "连线装置",
              "連線裝置"},
    /*  3 */ {"&Language",
              "语言(&L)",
              "語言(&L)"},
    /*  4 */ {"&File",
              "档案(&F)",
              "檔案(&F)"},
    /*  5 */ {"&Setup",
              "设定(&S)",
              "設定(&S)"},
    /*  6 */ {"About",
              "关于",
              "關於"},
    /*  7 */ {"&About",
              "关于(&A)",
              "關於(&A)"},
    /*  8 */ {"E&xit",
              "结束(&X)",
              "結束(&X)"},
    /*  9 */ {"&English",
              "&Simplified chinese(简体)",
              "&Traditional chinese(繁體)"},
    /* 10 */ {"COM",
              "COM",
              "COM"},
    /* 11 */ {"NET",
              "网路",
              "網路"},
    /* 12 */ {"Speed:",
              "速率:",
              "速率:"},
    /* 13 */ {"Port:",
              "连接阜:",
              "連接阜:"},
    /* 14 */ {"Test card",
              "测试卡片",
              "測試卡片"},
    /* 15 */ {"&Firmware file",
              "韧体档案(&F)",
              "韌體檔案(&F)"},
    /* 16 */ {"Connect device",
              "连线装置",
              "連線裝置"},
    /* 17 */ {"Connecting device ...",
              "连线装置中 ...",
              "連線裝置中 ..."},
    /* 18 */ {"Connect device error!",
              "连线装置错误!",
              "連線裝置錯誤!"},
    /* 19 */ {"Connect device ok.",
              "连线装置完成.",
              "連線裝置完成."},
    /* 20 */ {"Command ok.",
              "指令完成.",
              "指令完成."},
    /* 21 */ {"Command error!",
              "指令错误!",
              "指令錯誤!"},
    /* 22 */ {"Basic test",
              "基本测试",
              "基本測試"},
    /* 23 */ {"Function test",
              "功能测试",
              "功能測試"},
    /* 24 */ {"Command test",
              "指令测试",
              "指令測試"},
    /* 25 */ {"Firmware upgrade",
              "韧体更新",
              "韌體更新"},
    /* 26 */ {"Cancel test",
              "取消测试",
              "取消測試"},
    /* 27 */ {"DIDO test",
              "接点测试",
              "接點測試"},
    /* 28 */ {"Pooling data test",
              "读取资料测试",
              "讀取資料測試"},
    /* 29 */ {"Set factory",
              "设定出厂值",
              "設定出廠值"},
    /* 30 */ {"Set reboot",
              "设定重新开机",
              "設定重新開機"},
    /* 31 */ {"Set date and time",
              "设定日期时间",
              "設定日期時間"},
    /* 32 */ {"Alarm test",
              "警报测试",
              "警報測試"},
    /* 33 */ {"Set baudrate 115200,n,8,1",
              "设定鲍率 115200,n,8,1",
              "設定鮑率 115200,n,8,1"},
    /* 34 */ {"Set baudrate 19200,e,8,1",
              "设定鲍率 19200,e,8,1",
              "設定鮑率 19200,e,8,1"},
    /* 35 */ {"Controller command test",
              "控制器指令测试",
              "控制器指令測試"},
    /* 36 */ {"Module command test",
              "模组指令测试",
              "模組指令測試"},
    /* 37 */ {"Command test",
              "指令测试",
              "指令測試"},
    /* 38 */ {"Send command:",
              "传送指令:",
              "傳送指令:"},
    /* 39 */ {"Receive data:",
              "接收资料:",
              "接收資料:"},
    /* 40 */ {"Type:",
              "类别:",
              "類別:"},
    /* 41 */ {"Controller",
              "控制器",
              "控制器"},
    /* 42 */ {"Set Controller",
              "设定控制器",
              "設定控制器"},
    /* 43 */ {"Get S/N or ID",
              "读取序号或ID",
              "讀取序號或ID"},
    /* 44 */ {"Set ID by S/N",
              "依序号设定ID",
              "依序號設定ID"},
    /* 45 */ {"Set ID:",
              "设定ID:",
              "設定ID:"},
    /* 46 */ {"V7 Module",
              "V7 模组",
              "V7 模組"},
    /* 47 */ {"Set Reader/DIDO",
              "设定读卡机DIDO",
              "設定讀卡機DIDO"},
    /* 48 */ {"Set Card Type by ID",
              "依ID设定卡片类别",
              "依ID設定卡片類別"},
    /* 49 */ {"Set Card Type",
              "设定卡片类别",
              "設定卡片類別"},
    /* 50 */ {"Get Card Type",
              "读取卡片类别",
              "讀取卡片類別"},
    /* 51 */ {"V5 Module",
              "V5 模组",
              "V5 模組"},
    /* 52 */ {"Receive Data:",
              "接收资料:",
              "接收資料:"},
    /* 53 */ {"Firmware load",
              "载入韧体",
              "載入韌體"},
    /* 54 */ {"Programming ...",
              "烧录中 ...",
              "燒錄中 ..."},
    /* 55 */ {"Verifying ...",
              "验证中 ...",
              "驗證中 ..."},
    /* 56 */ {"Upgrading ...",
              "更新中 ...",
              "更新中 ..."},
    /* 57 */ {"Load firmware file error!",
              "载入韧体档案错误!",
              "載入韌體檔案錯誤!"},
    /* 58 */ {"Firmware file format model error!",
              "韧体档案格式机型错误!",
              "韌體檔案格式機型錯誤!"},
    /* 59 */ {"Note !",
              "注意 !",
              "注意 !"},
    /* 60 */ {"Upgrading the firmware of the Product will lost some data on the Product. "
              "To ensure data security, it is recommended that you back up your data before update.",
              "注意：更新产品韧体会影响产品上的部分资料，为确保资料安全，建议您在更新韧体前先备份您的资料。",
              "注意：更新產品韌體會影響產品上的部分資料，為確保資料安全，建議您在更新韌體前先備份您的資料。"},
    /* 61 */ {"This tool support: KT350/KT460 serial controller .",
              "本软体支援: KT350/KT460 系列控制器。",
              "本軟體支援: KT350/KT460 系列控制器。"},
}};
// clang-format on

constexpr bool everyTextFilled() {
    for (const Texts& texts : kMessages) {
        for (const char* text : texts) {
            if (text == nullptr || *text == '\0') return false;
        }
    }
    return true;
}
static_assert(everyTextFilled(), "every entry needs its three texts");

int column(LanguageIndex language) {
    const int index = static_cast<int>(language);
    return index >= 0 && index < LanguageCount ? index : 0;
}

}  // namespace

QString MessageTable::text(int number, LanguageIndex language) {
    if (number < 0 || number >= Count) return {};
    return QString::fromUtf8(kMessages[number][column(language)]);
}

QString MessageTable::translate(QAnyStringView english, LanguageIndex language) {
    const int found = number(english);
    if (found >= 0) return text(found, language);
    const int added = AddedMessages::number(english);
    return added < 0 ? english.toString() : AddedMessages::text(added, language);
}

int MessageTable::number(QAnyStringView english) {
    for (int n = 0; n < Count; ++n) {
        if (QAnyStringView::compare(english, QUtf8StringView(kMessages[n][0])) == 0) return n;
    }
    return -1;
}

}  // namespace kt

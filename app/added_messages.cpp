#include "app/added_messages.h"

#include <array>

namespace kt::AddedMessages {
namespace {

using Texts = std::array<const char*, LanguageCount>;

// UTF-8. Columns: English, Simplified Chinese, Traditional Chinese, in the
// terms of the message table (速率 speed, 连线/連線 line, 模组/模組 module,
// 序号/序號 serial number) and within GB2312 and Big5 (the tests check).
// clang-format off
constexpr std::array<Texts, 20> kMessages = {{
    {"Find line &speed",
     "寻找连线速率(&S)",
     "尋找連線速率(&S)"},
    {"Finding line speed ...",
     "寻找连线速率中 ...",
     "尋找連線速率中 ..."},
    {"Module &survey",
     "扫描模组(&S)",
     "掃描模組(&S)"},
    {"Module survey",
     "扫描模组",
     "掃描模組"},
    {"Kind",
     "种类",
     "種類"},
    {"Type",
     "类别",
     "類別"},
    {"Copy",
     "复制",
     "複製"},
    {"Save",
     "储存",
     "儲存"},
    {"Cancel",
     "取消",
     "取消"},
    {"Asking the modules ...",
     "询问模组中 ...",
     "詢問模組中 ..."},
    {"Modules found: %1",
     "找到模组: %1",
     "找到模組: %1"},
    {"Survey cancelled; modules found: %1",
     "扫描已取消; 找到模组: %1",
     "掃描已取消; 找到模組: %1"},
    {"Survey stopped, the port was lost; modules found: %1",
     "扫描中断, 连接阜已中断; 找到模组: %1",
     "掃描中斷, 連接阜已中斷; 找到模組: %1"},
    {"Save error!",
     "储存错误!",
     "儲存錯誤!"},
    {"Set the converter's line (RFC 2217)",
     "设定转换器连线 (RFC 2217)",
     "設定轉換器連線 (RFC 2217)"},
    // The questions before an operation that cannot be undone; No is the
    // default answer.
    {"Set factory erases the controller's cards and settings. Go on?",
     "设定出厂值会清除控制器的卡片与设定. 要继续吗?",
     "設定出廠值會清除控制器的卡片與設定. 要繼續嗎?"},
    {"The firmware upgrade rewrites the controller's program. Go on?",
     "韧体更新会改写控制器的程式. 要继续吗?",
     "韌體更新會改寫控制器的程式. 要繼續嗎?"},
    {"&Yes",
     "是(&Y)",
     "是(&Y)"},
    {"&No",
     "否(&N)",
     "否(&N)"},
    // A continuous test whose controller stopped answering.
    {"No answer since %1",
     "自 %1 起无回应",
     "自 %1 起無回應"},
}};
// clang-format on

int column(LanguageIndex language) {
    const int index = static_cast<int>(language);
    return index >= 0 && index < LanguageCount ? index : 0;
}

}  // namespace

int count() {
    return int(kMessages.size());
}

QString text(int number, LanguageIndex language) {
    if (number < 0 || number >= count()) return {};
    return QString::fromUtf8(kMessages[number][column(language)]);
}

int number(QAnyStringView english) {
    for (int n = 0; n < count(); ++n) {
        if (QAnyStringView::compare(english, QUtf8StringView(kMessages[n][0])) == 0) return n;
    }
    return -1;
}

}  // namespace kt::AddedMessages

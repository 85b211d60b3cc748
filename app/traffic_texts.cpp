#include "app/traffic_texts.h"

#include <array>

namespace kt {
namespace {

using Texts = std::array<const char*, LanguageCount>;

// UTF-8. Columns: English, Simplified Chinese, Traditional Chinese, in the
// message table's terms (资料/資料 data, 档/檔 file, 逾时/逾時 timed out)
// and within its code pages (GB2312, Big5); an accelerator as "(&X)".
//
// clang-format off
constexpr std::array<Texts, static_cast<int>(TrafficText::Count)> kTexts = {{
    {"&Traffic monitor", "通讯监视(&T)", "通訊監視(&T)"},
    {"Traffic monitor", "通讯监视", "通訊監視"},
    {"Pause", "暂停", "暫停"},
    {"Resume", "继续", "繼續"},
    {"Clear", "清除", "清除"},
    {"Save", "储存", "儲存"},
    {"Text files (*.txt)", "文字档 (*.txt)", "文字檔 (*.txt)"},
    {"Time", "时间", "時間"},
    {"Direction", "方向", "方向"},
    {"Frame", "格式", "格式"},
    {"Bytes", "资料", "資料"},
    {"Length", "长度", "長度"},
    {"Verdict", "结果", "結果"},
    {"Reply ms", "回应 ms", "回應 ms"},
    {"Sent", "送出", "送出"},
    {"Received", "接收", "接收"},
    {"check good", "检查正确", "檢查正確"},
    {"check bad", "检查错误", "檢查錯誤"},
    {"incomplete", "不完整", "不完整"},
    {"timed out", "逾时", "逾時"},
    {"refused before sending", "拒绝送出", "拒絕送出"},
    {"paused: %1 frames not shown", "暂停: %1 笔资料未显示", "暫停: %1 筆資料未顯示"},
}};
// clang-format on

}  // namespace

QString trafficText(TrafficText which, LanguageIndex language) {
    const int row = static_cast<int>(which);
    const int column = static_cast<int>(language);
    if (row < 0 || row >= static_cast<int>(TrafficText::Count)) return {};
    return QString::fromUtf8(kTexts[row][column >= 0 && column < LanguageCount ? column : 0]);
}

}  // namespace kt

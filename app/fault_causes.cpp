#include "app/fault_causes.h"

#include <array>

namespace kt {
namespace {

using Texts = std::array<const char*, LanguageCount>;

// UTF-8. Columns: English, Simplified Chinese, Traditional Chinese, in the
// message table's terms (连接阜/連接阜 port, 装置/裝置 device, 连线/連線
// connection) and within its code pages (GB2312, Big5). %1 is the port, %2
// the group that owns the device.
//
// clang-format off
constexpr Texts kNoSuchPort   = {"%1: no such port",
                                 "%1: 连接阜不存在",
                                 "%1: 連接阜不存在"};
constexpr Texts kNoAccess     = {"%1: permission denied; add your account to the %2 group",
                                 "%1: 没有权限; 请将您的帐号加入 %2 群组",
                                 "%1: 沒有權限; 請將您的帳號加入 %2 群組"};
constexpr Texts kLogInAgain   = {"%1: permission denied; log in again to use the %2 group",
                                 "%1: 没有权限; 请重新登入以使用 %2 群组",
                                 "%1: 沒有權限; 請重新登入以使用 %2 群組"};
constexpr Texts kNoGroup      = {"%1: permission denied; ask your administrator",
                                 "%1: 没有权限; 请洽系统管理员",
                                 "%1: 沒有權限; 請洽系統管理員"};
constexpr Texts kInUse        = {"%1: in use by another program",
                                 "%1: 已被其他程式使用",
                                 "%1: 已被其他程式使用"};
constexpr Texts kRefused      = {"%1: connection refused",
                                 "%1: 连线被拒绝",
                                 "%1: 連線被拒絕"};
constexpr Texts kUnreachable  = {"%1: unreachable or timed out",
                                 "%1: 无法连线或逾时",
                                 "%1: 無法連線或逾時"};
constexpr Texts kNoLineSet   = {"%1: the converter does not take line settings (RFC 2217)",
                                 "%1: 转换器不接受通讯设定 (RFC 2217)",
                                 "%1: 轉換器不接受通訊設定 (RFC 2217)"};
constexpr Texts kLineRefused = {"%1: the converter refused the line settings",
                                 "%1: 转换器拒绝此通讯设定",
                                 "%1: 轉換器拒絕此通訊設定"};
constexpr Texts kLost         = {"%1: connection lost",
                                 "%1: 连线中断",
                                 "%1: 連線中斷"};
constexpr Texts kNoAnswer     = {"no answer from the device",
                                 "装置没有回应",
                                 "裝置沒有回應"};
constexpr Texts kBadCheck     = {"bad checksum in the reply",
                                 "回应资料检查码错误",
                                 "回應資料檢查碼錯誤"};
constexpr Texts kBadRequest   = {"the command cannot be sent",
                                 "指令无法送出",
                                 "指令無法送出"};
constexpr Texts kNotOpen      = {"%1: port not open",
                                 "%1: 连接阜未开启",
                                 "%1: 連接阜未開啟"};
constexpr Texts kNoAccessMark = {"(no access)",
                                 "(没有权限)",
                                 "(沒有權限)"};
// clang-format on

QString pick(const Texts& texts, LanguageIndex language) {
    const int index = static_cast<int>(language);
    return QString::fromUtf8(texts[index >= 0 && index < LanguageCount ? index : 0]);
}

}  // namespace

QString FaultCause(const LinkError& error, LanguageIndex language) {
    const auto with = [&](const Texts& texts) {
        QString text = pick(texts, language);
        if (text.contains(QLatin1String("%2"))) return text.arg(error.port, error.group);
        return text.contains(QLatin1String("%1")) ? text.arg(error.port) : text;
    };
    switch (error.kind) {
        case LinkFault::None:
            return {};
        case LinkFault::NoSuchPort:
            return with(kNoSuchPort);
        case LinkFault::NoAccess:
            if (error.group.isEmpty()) return with(kNoGroup);
            return with(error.logInAgain ? kLogInAgain : kNoAccess);
        case LinkFault::InUse:
            return with(kInUse);
        case LinkFault::Refused:
            return with(kRefused);
        case LinkFault::Unreachable:
            return with(kUnreachable);
        case LinkFault::NoLineSettings:
            return with(kNoLineSet);
        case LinkFault::LineRefused:
            return with(kLineRefused);
        case LinkFault::Lost:
            return with(kLost);
        case LinkFault::NoAnswer:
            return with(kNoAnswer);
        case LinkFault::BadCheck:
            return with(kBadCheck);
        case LinkFault::BadRequest:
            return with(kBadRequest);
        case LinkFault::NotOpen:
            return with(kNotOpen);
        case LinkFault::Other:
            break;
    }
    return error.text;
}

QString NoAccessMark(LanguageIndex language) {
    return pick(kNoAccessMark, language);
}

}  // namespace kt

// The menu bar's items no taller than in English. The Chinese faces' taller
// lines would otherwise grow the bar by a few pixels and push the whole form
// down; the system's menu bar it stands for has one height in every language.
#pragma once

#include <QProxyStyle>

namespace kt {

class MenuBarStyle : public QProxyStyle {
public:
    // Items keep the application's style, at most itemHeight pixels tall.
    explicit MenuBarStyle(int itemHeight) : itemHeight_(itemHeight) {}

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;

private:
    int itemHeight_;
};

}  // namespace kt

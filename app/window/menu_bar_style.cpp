#include "app/window/menu_bar_style.h"

#include <algorithm>

namespace kt {

QSize MenuBarStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& size, const QWidget* widget) const {
    QSize item = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuBarItem && itemHeight_ > 0)
        item.setHeight(std::min(item.height(), itemHeight_));
    return item;
}

}  // namespace kt

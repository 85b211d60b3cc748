#include "app/window/page_control.h"

#include "app/fonts.h"

#include <QTabBar>

namespace kt {
namespace {

class TabRow : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override {
        QSize size = QTabBar::tabSizeHint(index);
        const int line = fontMetrics().height();
        const int englishLine = QFontMetrics(languageFont(LanguageIndex::English)).height();
        if (line > englishLine) size.rheight() -= line - englishLine;
        return size;
    }
};

}  // namespace

PageControl::PageControl(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new TabRow(this));
}

}  // namespace kt

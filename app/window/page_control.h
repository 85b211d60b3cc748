// A page control (the port page and the test pages) whose tab row is as
// tall in every language as the English face makes it. The Chinese faces
// have much taller lines; a taller row would eat into the pages below it,
// whose rows are placed to the pixel (the port page has three to spare).
#pragma once

#include <QTabWidget>

namespace kt {

class PageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit PageControl(QWidget* parent = nullptr);
};

}  // namespace kt

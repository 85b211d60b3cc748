// The round indicator of the window: the status lamp in the status line and
// the input lamps of the Digital I/O test. A filled circle with a thin dark
// outline, as large as its box allows and centred in it.
#pragma once

#include <QColor>
#include <QWidget>

namespace kt {

class Lamp : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor fillColor READ fillColor WRITE setFillColor)
public:
    explicit Lamp(QWidget* parent = nullptr);

    QColor fillColor() const { return fill_; }
    void setFillColor(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_ = Qt::white;
};

}  // namespace kt

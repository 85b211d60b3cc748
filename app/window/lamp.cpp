#include "app/window/lamp.h"

#include <QPainter>

namespace kt {

Lamp::Lamp(QWidget* parent) : QWidget(parent) {
    // The lamp sits on coloured panels: only the circle is ours to paint.
    setAttribute(Qt::WA_TranslucentBackground);
}

void Lamp::setFillColor(const QColor& colour) {
    if (colour == fill_) return;
    fill_ = colour;
    update();
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int diameter = qMin(width(), height()) - 1;
    const QRectF circle((width() - diameter) / 2.0, (height() - diameter) / 2.0, diameter,
                        diameter);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(fill_);
    painter.drawEllipse(circle);
}

}  // namespace kt

#include "app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace tarnwick {
namespace {

QPixmap Draw(int size, const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    paint(painter);
    return pixmap;
}

QIcon Icon(const std::function<void(QPainter&)>& paint) {
    QIcon icon;
    for (const int size : {16, 32})
        icon.addPixmap(Draw(size, paint));
    return icon;
}

} // namespace

QIcon ExitIcon() {
    return Icon([](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 30), 1));
        p.setBrush(QColor(196, 150, 90));
        p.drawRect(QRectF(2.5, 1.5, 7, 13)); // door
        p.setBrush(QColor(40, 40, 40));
        p.drawEllipse(QPointF(8, 8.5), 0.8, 0.8);
        p.setPen(QPen(QColor(200, 30, 30), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 8), QPointF(14.5, 8)); // arrow out
        p.drawLine(QPointF(12.5, 5.5), QPointF(14.5, 8));
        p.drawLine(QPointF(12.5, 10.5), QPointF(14.5, 8));
    });
}

QIcon RefreshIcon() {
    return Icon([](QPainter& p) {
        p.setPen(QPen(QColor(30, 120, 50), 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 280 * 16);
        QPainterPath head;
        head.moveTo(9.5, 0.5);
        head.lineTo(14, 3.5);
        head.lineTo(9, 6);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 120, 50));
        p.drawPath(head);
    });
}

QIcon ExplorerIcon() {
    return Icon([](QPainter& p) {
        p.setPen(QPen(QColor(40, 70, 140), 1.6));
        p.setBrush(QColor(200, 225, 250));
        p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5); // lens
        p.setPen(QPen(QColor(70, 50, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5)); // handle
    });
}

QIcon TarnwickWindowIcon() {
    return Icon([](QPainter& p) {
        p.setPen(QPen(QColor(30, 40, 60), 0.8));
        p.setBrush(QColor(60, 90, 140));
        p.drawRoundedRect(QRectF(1, 6, 10, 8), 1.5, 1.5); // unit body
        p.setBrush(QColor(20, 20, 20));
        p.drawEllipse(QPointF(6, 10), 2.2, 2.2); // lens
        p.setPen(QPen(QColor(240, 160, 20), 1.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9, 1, 6, 6), -10 * 16, 110 * 16); // signal
        p.drawArc(QRectF(10.8, 2.8, 2.4, 2.4), -10 * 16, 110 * 16);
    });
}

} // namespace tarnwick

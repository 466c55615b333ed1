#include "platform/ui/Pictures.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>

namespace ui {

namespace {

// A diagonal gradient with the text in bold white, centred; a point size of
// 0 keeps the application font's own.
QPixmap GradientBanner(const QSize& size, const QString& text, const QColor& from, const QColor& to, qreal pointSize) {
    QPixmap pm(size);
    QPainter p(&pm);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.fillRect(pm.rect(), g);
    p.setPen(Qt::white);
    QFont f = QApplication::font();
    f.setBold(true);
    if (pointSize > 0) f.setPointSizeF(pointSize);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, text);
    return pm;
}

}  // namespace

QPixmap LookupPicture() {
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.6));
    p.drawEllipse(QRectF(1.5, 1.5, 8, 8));
    p.drawLine(QPointF(8.6, 8.6), QPointF(12.5, 12.5));
    return pm;
}

QPixmap StepPicture(bool forward) {
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    const QPointF back[] = {{11, 2}, {11, 12}, {3, 7}};
    const QPointF ahead[] = {{3, 2}, {3, 12}, {11, 7}};
    p.drawPolygon(forward ? ahead : back, 3);
    return pm;
}

QPixmap BannerPicture(const QSize& size, const QString& text) {
    return GradientBanner(size, text, QColor(0x1f, 0x4e, 0x8c), QColor(0x5b, 0x9b, 0xd5), 11);
}

QPixmap LinkPicture(const QString& text, const QColor& from, const QColor& to) {
    return GradientBanner(QSize(120, 32), text, from, to, 0);
}

}  // namespace ui

#include "platform/ui/Pictures.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>

namespace ui {

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

QPixmap BannerPicture(const QSize& size, const QString& text) {
    QPixmap pm(size);
    QPainter p(&pm);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor(0x1f, 0x4e, 0x8c));
    g.setColorAt(1, QColor(0x5b, 0x9b, 0xd5));
    p.fillRect(pm.rect(), g);
    p.setPen(Qt::white);
    QFont f = QApplication::font();
    f.setBold(true);
    f.setPointSizeF(11);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, text);
    return pm;
}

}  // namespace ui

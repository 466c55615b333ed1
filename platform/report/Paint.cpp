#include "platform/report/Paint.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "platform/report/Fonts.h"

namespace report {

namespace {

constexpr double kTwipsPerInch = 1440;

Qt::Alignment Alignment(Align align) {
    switch (align) {
    case Align::Right: return Qt::AlignRight | Qt::AlignTop;
    case Align::Center: return Qt::AlignHCenter | Qt::AlignTop;
    case Align::Left: break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

}  // namespace

void PaintPage(QPainter& painter, const Pages& pages, size_t index, double deviceDpi) {
    if (index >= pages.pages.size()) return;
    const Page& page = pages.pages[index];
    painter.save();
    painter.scale(deviceDpi / kTwipsPerInch, deviceDpi / kTwipsPerInch);
    painter.translate(pages.marginLeft, pages.marginTop);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    for (const DrawnItem& item : page.items) {
        if (item.kind != ItemKind::Shape) continue;
        painter.setPen(QPen(Qt::black, 15));
        painter.setBrush(Qt::white);
        if (item.rounded) painter.drawRoundedRect(item.rect, 90, 90);
        else painter.drawRect(item.rect);
    }
    painter.setBrush(Qt::NoBrush);
    for (const DrawnItem& item : page.items) {
        if (item.kind != ItemKind::Line) continue;
        painter.setPen(QPen(Qt::black, 15.0 * std::max(1, item.lineWeight), Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(item.rect.topLeft(), item.rect.bottomRight());
    }
    painter.setPen(Qt::black);
    for (const DrawnItem& item : page.items) {
        if (item.kind != ItemKind::Text || item.text.isEmpty()) continue;
        painter.setFont(TwipFont(item.font, item.printPoints > 0 ? item.printPoints : item.font.size));
        // Left-aligned text stays inside its box; right-aligned and centred
        // text was fitted to its box by the layout and is never cut.
        const int flags = int(Alignment(item.align)) | Qt::TextSingleLine;
        if (item.align == Align::Left) {
            painter.save();
            painter.setClipRect(item.rect);
            painter.drawText(item.rect, flags, item.text);
            painter.restore();
        } else {
            painter.drawText(item.rect, flags | Qt::TextDontClip, item.text);
        }
    }
    painter.restore();
}

bool PaintAll(QPagedPaintDevice& device, const Pages& pages, QString* error) {
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error) *error = QStringLiteral("the output device cannot be painted on");
        return false;
    }
    const double dpi = device.logicalDpiX();
    for (size_t i = 0; i < pages.pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            if (error) *error = QStringLiteral("page %1 cannot be started").arg(i + 1);
            painter.end();
            return false;
        }
        PaintPage(painter, pages, i, dpi);
    }
    return painter.end();
}

bool WritePdf(const Pages& pages, const QString& path, QString* error) {
    QPdfWriter writer(path);
    writer.setResolution(int(kTwipsPerInch));
    writer.setTitle(pages.title);
    writer.setCreator(QStringLiteral("MURV"));
    writer.setPageLayout(PageLayoutOf(pages));
    if (!PaintAll(writer, pages, error)) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, *error);
        return false;
    }
    return true;
}

QPageLayout PageLayoutOf(const Pages& pages) {
    return QPageLayout(QPageSize(QPageSize::A4),
                       pages.orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

}  // namespace report

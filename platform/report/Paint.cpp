#include "platform/report/Paint.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "platform/report/Fonts.h"

#include <map>
#include <tuple>

namespace report {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kAscentEm = 0.88;

// The fonts of a page and their metrics, made once each.
class PageFonts {
public:
    struct Entry {
        QFont font;
        QFontMetricsF metrics;
    };
    const Entry& Of(const FontSpec& face, double points) {
        const auto key = std::make_tuple(face.name, points, face.bold);
        auto it = fonts_.find(key);
        if (it == fonts_.end()) {
            const QFont font = TwipFont(face, points);
            it = fonts_.emplace(key, Entry{font, QFontMetricsF(font)}).first;
        }
        return it->second;
    }

private:
    std::map<std::tuple<QString, double, bool>, Entry> fonts_;
};

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
    PageFonts fonts;
    const PageFonts::Entry* current = nullptr;
    for (const DrawnItem& item : page.items) {
        if (item.kind != ItemKind::Text || item.text.isEmpty()) continue;
        const double points = item.printPoints > 0 ? item.printPoints : item.font.size;
        const PageFonts::Entry& entry = fonts.Of(item.font, points);
        if (current != &entry) painter.setFont(entry.font);
        current = &entry;
        const QFont& font = entry.font;
        // The text's em box stands at the top of its box: the baseline lies
        // 0.88 em below the top, as the ideographs of the fonts are drawn.
        const double em = font.pixelSize();
        const double width = entry.metrics.horizontalAdvance(item.text);
        const QRectF box(item.rect);
        double x = box.left();
        if (item.align == Align::Right) x = box.right() - kRightInsetTwips - width;
        else if (item.align == Align::Center) x = box.center().x() - width / 2;
        const QPointF baseline(x, box.top() + kAscentEm * em);
        if (item.align == Align::Left && width > box.width()) {
            // Left-aligned text stays inside its column; right-aligned and
            // centred text was fitted by the layout and is never cut.
            painter.save();
            painter.setClipRect(QRectF(box.left(), box.top() - em, box.width(), box.height() + 2 * em));
            painter.drawText(baseline, item.text);
            painter.restore();
        } else {
            painter.drawText(baseline, item.text);
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

#include "platform/report/Paint.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include "platform/report/Fonts.h"

#include <cmath>
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
        // The text's em box is centred in its cell: the baseline lies 0.88
        // em below the em box's top, as the ideographs of the faces are drawn.
        const double em = font.pixelSize();
        const double width = entry.metrics.horizontalAdvance(item.text);
        const QRectF box(item.rect);
        const QRectF cell(item.cell.isValid() ? item.cell : item.rect);
        double x = cell.left();
        if (item.align == Align::Right) x = box.right() - kRightInsetTwips - width;
        else if (item.align == Align::Center) x = box.center().x() - width / 2;
        const QPointF baseline(x, cell.top() + (cell.height() - em) / 2 + kAscentEm * em);
        if (item.align == Align::Left && !item.caption && width > cell.width()) {
            // A field's text stays inside its column; captions, and
            // right-aligned and centred text fitted by the layout, are never cut.
            painter.save();
            painter.setClipRect(QRectF(cell.left(), cell.top() - em, cell.width(), cell.height() + 2 * em));
            painter.drawText(baseline, item.text);
            painter.restore();
        } else {
            painter.drawText(baseline, item.text);
        }
    }
    painter.restore();
}

std::vector<size_t> PageSequence(size_t pageCount, const PrintOptions& options) {
    std::vector<size_t> chosen;
    for (size_t i = 0; i < pageCount; ++i)
        if (options.ranges.isEmpty() || options.ranges.contains(int(i) + 1)) chosen.push_back(i);
    const int copies = std::max(1, options.copies);
    std::vector<size_t> sequence;
    if (options.collate) {
        for (int c = 0; c < copies; ++c) sequence.insert(sequence.end(), chosen.begin(), chosen.end());
    } else {
        for (size_t page : chosen) sequence.insert(sequence.end(), size_t(copies), page);
    }
    return sequence;
}

QPoint ShiftIntoPrintable(const Pages& pages, size_t index, const QMargins& unreachable) {
    if (index >= pages.pages.size() || unreachable.isNull()) return QPoint();
    QRect ink;
    for (const DrawnItem& item : pages.pages[index].items) {
        // Lines and frames with their pen; texts with their box.
        const int pen = item.kind == ItemKind::Text ? 0 : (15 * std::max(1, item.lineWeight) + 1) / 2;
        ink |= item.rect.normalized().adjusted(-pen, -pen, pen, pen);
    }
    if (ink.isNull()) return QPoint();
    ink.translate(pages.marginLeft, pages.marginTop);
    const QRect printable = QRect(0, 0, pages.paperWidth, pages.paperHeight) - unreachable;
    // Moves one edge inside; a page wider than the area is centred on it.
    const auto shift = [](int low, int high, int areaLow, int areaHigh) {
        if (high - low > areaHigh - areaLow) return (areaLow + areaHigh) / 2 - (low + high) / 2;
        if (low < areaLow) return areaLow - low;
        if (high > areaHigh) return areaHigh - high;
        return 0;
    };
    return QPoint(shift(ink.left(), ink.right(), printable.left(), printable.right()),
                  shift(ink.top(), ink.bottom(), printable.top(), printable.bottom()));
}

PrintOptions OptionsOf(const QPrinter& printer) {
    PrintOptions options;
    if (printer.printRange() == QPrinter::PageRange) options.ranges = printer.pageRanges();
    // A printer that makes its copies itself gets each page once.
    options.copies = printer.supportsMultipleCopies() ? 1 : printer.copyCount();
    options.collate = printer.collateCopies();
    if (printer.outputFormat() == QPrinter::NativeFormat) {
        QPageLayout layout = printer.pageLayout();
        layout.setUnits(QPageLayout::Point);
        const QMarginsF m = layout.minimumMargins() * 20;
        options.unreachable = QMargins(int(std::ceil(m.left())), int(std::ceil(m.top())), int(std::ceil(m.right())),
                                       int(std::ceil(m.bottom())));
    }
    return options;
}

bool PaintAll(QPagedPaintDevice& device, const Pages& pages, QString* error, const PrintOptions& options) {
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error) *error = QStringLiteral("the output device cannot be painted on");
        return false;
    }
    const double dpi = device.logicalDpiX();
    bool first = true;
    for (size_t i : PageSequence(pages.pages.size(), options)) {
        if (!first && !device.newPage()) {
            if (error) *error = QStringLiteral("page %1 cannot be started").arg(i + 1);
            painter.end();
            return false;
        }
        first = false;
        const QPoint shift = ShiftIntoPrintable(pages, i, options.unreachable);
        painter.save();
        painter.translate(shift.x() * dpi / kTwipsPerInch, shift.y() * dpi / kTwipsPerInch);
        PaintPage(painter, pages, i, dpi);
        painter.restore();
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

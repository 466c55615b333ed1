#pragma once
// The one place that draws report pages: shapes first, then lines, then
// text, in twips scaled to the device (one twip is one device unit at
// 1440 dpi).

#include <QMargins>
#include <QPageLayout>
#include <QPageRanges>
#include <QPoint>
#include <QString>

#include "platform/report/Report.h"

#include <vector>

class QPainter;
class QPagedPaintDevice;
class QPrinter;

namespace report {

// Draws one page on a painter whose origin is the paper's top left.
// deviceDpi is the device's resolution.
void PaintPage(QPainter& painter, const Pages& pages, size_t index, double deviceDpi);

// What a print job asks of a device: the pages the user chose (empty: all,
// numbered from 1), the copies the program itself must make, whether they
// are collated (1 2 3, 1 2 3) or not (1 1, 2 2, 3 3), and the border of the
// paper, in twips, that the device cannot print on.
struct PrintOptions {
    QPageRanges ranges;
    int copies = 1;
    bool collate = true;
    QMargins unreachable;
};

// The options a printer was set up with by its print dialog; a printer
// that writes a PDF reaches the whole paper.
PrintOptions OptionsOf(const QPrinter& printer);

// The page indexes a job prints, in order, copies included.
std::vector<size_t> PageSequence(size_t pageCount, const PrintOptions& options);

// How far (twips) a page must move so that what it draws lies inside the
// printable area; (0, 0) when it does, or when the whole paper is printable.
QPoint ShiftIntoPrintable(const Pages& pages, size_t index, const QMargins& unreachable);

// Draws the pages the options choose on a paged device (a printer or a PDF
// writer), starting a new device page for each after the first. False,
// with the reason, when the device cannot be painted on.
bool PaintAll(QPagedPaintDevice& device, const Pages& pages, QString* error, const PrintOptions& options = {});

// A4 in the pages' orientation, without margins (the pages carry their own).
QPageLayout PageLayoutOf(const Pages& pages);

// Writes the pages as a PDF file.
bool WritePdf(const Pages& pages, const QString& path, QString* error);

}  // namespace report

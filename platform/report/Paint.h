#pragma once
// The one place that draws report pages: shapes first, then lines, then
// text, in twips scaled to the device (one twip is one device unit at
// 1440 dpi).

#include <QPageLayout>
#include <QString>

#include "platform/report/Report.h"

class QPainter;
class QPagedPaintDevice;

namespace report {

// Draws one page on a painter whose origin is the paper's top left.
// deviceDpi is the device's resolution.
void PaintPage(QPainter& painter, const Pages& pages, size_t index, double deviceDpi);

// Draws every page on a paged device (a printer or a PDF writer), starting
// a new device page for each page after the first. False, with the reason,
// when the device cannot be painted on.
bool PaintAll(QPagedPaintDevice& device, const Pages& pages, QString* error);

// A4 in the pages' orientation, without margins (the pages carry their own).
QPageLayout PageLayoutOf(const Pages& pages);

// Writes the pages as a PDF file.
bool WritePdf(const Pages& pages, const QString& path, QString* error);

}  // namespace report

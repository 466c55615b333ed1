#include "platform/report/PrintService.h"

#include <QApplication>
#include <QFileInfo>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QtDebug>

#include "platform/report/Paint.h"
#include "platform/ui/Form.h"

namespace report {

namespace {

PrintService*& Installed() {
    static PrintService* service = nullptr;
    return service;
}

void SetUp(QPrinter& printer, const Pages& pages) {
    printer.setFullPage(true);
    printer.setPageLayout(PageLayoutOf(pages));
    printer.setDocName(pages.title);
}

// Prints the pages the printer's options choose; none of them is no print
// at all (no sheet, no file).
PrintResult PrintChosen(QPrinter& printer, const Pages& pages) {
    const PrintOptions options = OptionsOf(printer);
    if (PageSequence(pages.pages.size(), options).empty())
        return {PrintOutcome::NoPage,
                QStringLiteral("pages %1 of %2").arg(options.ranges.toString()).arg(pages.pages.size())};
    QString error;
    if (!PaintAll(printer, pages, &error, options)) return {PrintOutcome::Failed, error};
    return {PrintOutcome::Printed, QString()};
}

}  // namespace

PrintService& CurrentPrintService() {
    // Made on first use and kept to the end: its printer must not outlive
    // the application object in a destructor of its own.
    static QtPrintService* qt = new QtPrintService;
    return Installed() ? *Installed() : *qt;
}

PrintService* SetPrintService(PrintService* service) { return std::exchange(Installed(), service); }

QString SeriesFileName(const QString& first, int series) {
    if (series <= 0 || first.isEmpty()) return first;
    const QFileInfo info(first);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? first : first.left(first.size() - suffix.size() - 1);
    return base + QStringLiteral("-%1").arg(series + 1) + (suffix.isEmpty() ? QString() : u'.' + suffix);
}

// ---------------------------------------------------------------- Qt

struct QtPrintService::State {
    std::unique_ptr<QPrinter> printer;
    QString firstFile;  // the file the first job of the current series wrote
};

QtPrintService::QtPrintService() : state_(std::make_unique<State>()) {}
QtPrintService::~QtPrintService() = default;

QPrinter& QtPrintService::Printer() {
    if (!state_->printer) state_->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *state_->printer;
}

PrintResult QtPrintService::Print(const Pages& pages, const PrintRequest& request) {
    QPrinter& printer = Printer();
    if (request.series == 0 || request.withDialog) {
        // A new series: forget the numbered name of the last one.
        if (!state_->firstFile.isEmpty()) printer.setOutputFileName(state_->firstFile);
        state_->firstFile.clear();
    }
    SetUp(printer, pages);
    if (request.withDialog) {
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        dialog.setWindowTitle(QStringLiteral("印刷"));
        if (dialog.exec() != QDialog::Accepted) return {PrintOutcome::Cancelled, QString()};
    }
    if (request.series == 0 || request.withDialog) state_->firstFile = printer.outputFileName();
    if (!state_->firstFile.isEmpty()) printer.setOutputFileName(SeriesFileName(state_->firstFile, request.series));
    if (!printer.isValid()) return {PrintOutcome::Failed, QStringLiteral("no printer is available")};
    return PrintChosen(printer, pages);
}

bool QtPrintService::Preview(std::shared_ptr<const Pages> pages, QString* error, PrintTold told) {
    if (!pages) {
        if (error) *error = QStringLiteral("nothing to preview");
        return false;
    }
    auto* printer = new QPrinter(QPrinter::HighResolution);
    SetUp(*printer, *pages);
    auto* dialog = new QPrintPreviewDialog(printer);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(pages->title);
    dialog->setWindowModality(Qt::NonModal);
    QObject::connect(dialog, &QObject::destroyed, [printer] { delete printer; });
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog, [pages, told](QPrinter* target) {
        // The preview draws its pages on a picture; its print button prints
        // what its print dialog chose, and tells when that printed nothing.
        const QPaintEngine* engine = target->paintEngine();
        if (engine && engine->type() != QPaintEngine::Picture) {
            const PrintResult result = PrintChosen(*target, *pages);
            if (result.outcome != PrintOutcome::Printed && told) told(result);
            return;
        }
        QString failure;
        if (!PaintAll(*target, *pages, &failure, OptionsOf(*target)))
            qWarning().noquote() << "preview of" << pages->title << ":" << failure;
    });
    // Tall enough for a page, yet never beyond the screen's free area.
    dialog->resize(QSize(900, 1000).boundedTo(ui::RoomOnScreen(dialog)));
    dialog->show();
    return true;
}

// ---------------------------------------------------------------- scripted

PrintResult ScriptedPrintService::Print(const Pages& pages, const PrintRequest& request) {
    Job job;
    job.request = request;
    job.pages = std::make_shared<const Pages>(pages);
    job.dialogShown = request.withDialog;
    if (request.withDialog && !dialogAnswers_.empty()) {
        const bool print = dialogAnswers_.front();
        dialogAnswers_.pop_front();
        if (!print) job.outcome = PrintOutcome::Cancelled;
    }
    if (job.outcome == PrintOutcome::Printed && !failure_.isEmpty() && jobs_.size() >= failFrom_)
        job.outcome = PrintOutcome::Failed;
    jobs_.push_back(job);
    return {job.outcome, job.outcome == PrintOutcome::Failed ? failure_ : QString()};
}

bool ScriptedPrintService::Preview(std::shared_ptr<const Pages> pages, QString* error, PrintTold) {
    if (!failure_.isEmpty() && jobs_.size() >= failFrom_) {
        if (error) *error = failure_;
        return false;
    }
    Job job;
    job.preview = true;
    job.pages = std::move(pages);
    jobs_.push_back(job);
    return true;
}

}  // namespace report

#pragma once
// Printing and previewing go through one print service, as message boxes go
// through the message presenter. The running program prints through the
// system's print dialog and printer and previews in a window of its own; a
// test installs a ScriptedPrintService that records every job and answers
// the print dialog from a script.

#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QPrinter;

#include "platform/report/Report.h"

namespace report {

// NoPage: the pages the print dialog chose hold none of the report's pages;
// nothing was printed.
enum class PrintOutcome { Printed, Cancelled, Failed, NoPage };

struct PrintResult {
    PrintOutcome outcome = PrintOutcome::Printed;
    QString error;  // the reason of a failure, or the range chosen and the page count of NoPage
};

// Told of a print made from the preview window that did not print (a page
// range without a page of the report, or a failure).
using PrintTold = std::function<void(const PrintResult&)>;

// One print job: series is 0 for the first job of a report object that
// prints and counts up for the jobs after it that print (the months of one
// expense-list print).
struct PrintRequest {
    bool withDialog = true;
    int series = 0;
};

class PrintService {
public:
    virtual ~PrintService() = default;
    virtual PrintResult Print(const Pages& pages, const PrintRequest& request) = 0;
    // Opens a preview of its own copy of the pages and returns at once.
    // False, with the reason, when no preview can be shown. A print from the
    // preview that prints nothing is told to `told`.
    virtual bool Preview(std::shared_ptr<const Pages> pages, QString* error, PrintTold told = {}) = 0;
};

// The service in use; the Qt one unless another was installed.
PrintService& CurrentPrintService();
// Installs a service (nullptr: back to the Qt one) and returns the one it
// replaces. The caller keeps ownership.
PrintService* SetPrintService(PrintService* service);

class ScopedPrintService {
public:
    explicit ScopedPrintService(PrintService& service) : previous_(SetPrintService(&service)) {}
    ~ScopedPrintService() { SetPrintService(previous_); }
    ScopedPrintService(const ScopedPrintService&) = delete;
    ScopedPrintService& operator=(const ScopedPrintService&) = delete;

private:
    PrintService* previous_;
};

// The system's printer: the print dialog (when asked for) sets up a printer
// that later jobs without the dialog use again. When that printer writes to
// a file, the later jobs of a series write to files of their own
// ("list.pdf", "list-2.pdf", ...). The preview is a non-modal window that
// deletes itself when closed.
class QtPrintService : public PrintService {
public:
    QtPrintService();
    ~QtPrintService() override;
    PrintResult Print(const Pages& pages, const PrintRequest& request) override;
    bool Preview(std::shared_ptr<const Pages> pages, QString* error, PrintTold told = {}) override;
    // The printer that the dialog sets up and later jobs use.
    QPrinter& Printer();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The file a later job of a series writes to: "name-<series + 1>.ext".
QString SeriesFileName(const QString& first, int series);

// For tests: records every job with its own copy of the pages.
class ScriptedPrintService : public PrintService {
public:
    struct Job {
        bool preview = false;
        PrintRequest request;
        bool dialogShown = false;
        PrintOutcome outcome = PrintOutcome::Printed;
        std::shared_ptr<const Pages> pages;
    };

    PrintResult Print(const Pages& pages, const PrintRequest& request) override;
    bool Preview(std::shared_ptr<const Pages> pages, QString* error, PrintTold told = {}) override;

    // The answers of the print dialogs to come: true prints, false cancels.
    // With none queued the dialog prints.
    void QueueDialogAnswer(bool print) { dialogAnswers_.push_back(print); }
    // Makes the jobs from the fromJob-th recorded one on fail with this
    // reason (empty: succeed again).
    void FailWith(const QString& error, size_t fromJob = 0) {
        failure_ = error;
        failFrom_ = fromJob;
    }

    const std::vector<Job>& Jobs() const { return jobs_; }
    void Clear() { jobs_.clear(); }

private:
    std::deque<bool> dialogAnswers_;
    QString failure_;
    size_t failFrom_ = 0;
    std::vector<Job> jobs_;
};

}  // namespace report

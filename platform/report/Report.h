#pragma once
// A banded report: page set-up, a work table read when the report starts,
// three bands (page header, detail, page footer) holding controls placed in
// twips, and the three events a report handles. A control keeps every
// property written to it until it is written again, so a format event sees
// what the last row or page left.
//
// Layout turns a report and its rows into pages of drawn items, so the page
// count is known before anything is painted; Paint (Paint.h) is the only
// code that draws them. Printing and previewing go through the print
// service (PrintService.h).

#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <deque>
#include <memory>
#include <vector>

namespace report {

// A4, the paper every report is laid out for, in twips.
constexpr int kA4ShortTwips = 11906;
constexpr int kA4LongTwips = 16838;

// The room right-aligned text keeps from the right edge of its box, so
// amounts do not touch the rule of their column.
constexpr int kRightInsetTwips = 60;

enum class Orientation { Portrait, Landscape };
enum class Band { PageHeader, Detail, PageFooter };
enum class ControlKind { Label, Field, PageNumber, PageCount, Line, Shape };
enum class Align { Left, Center, Right };

// A font as the layouts name it ("ＭＳ Ｐ明朝"); Fonts.h maps it to an
// installed one.
struct FontSpec {
    QString name;
    double size = 12;  // points
    bool bold = false;
    bool operator==(const FontSpec&) const = default;
};

struct Control {
    QString name;
    ControlKind kind = ControlKind::Label;
    int left = 0, top = 0, width = 0, height = 0;  // labels, fields, shapes
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;            // lines
    QString text;                                  // the caption of a label, the text of a field
    QString dataField;                             // the bound field of the work table, if any
    QString outputFormat;                          // number or date pattern of a bound field
    QVariant value;                                // the bound value of the current row
    FontSpec font;
    Align align = Align::Left;
    bool visible = true;
    bool rounded = false;  // shapes
    int lineWeight = 1;    // lines

    void Move(int l, int t, int w, int h) {
        left = l;
        top = t;
        width = w;
        height = h;
    }
    void SetLine(int ax1, int ay1, int ax2, int ay2) {
        x1 = ax1;
        y1 = ay1;
        x2 = ax2;
        y2 = ay2;
    }
};

// ---- What layout produces

enum class ItemKind { Shape, Line, Text };

struct DrawnItem {
    ItemKind kind = ItemKind::Text;
    QString control;  // the control it comes from
    QRect rect;       // twips from the printable area's top left; a line runs from topLeft to bottomRight
    // Text: where the text is set, vertically centred: rect between the
    // rules and frame edges of its row or column head. A left-aligned text
    // ends there (a field's text is cut to the characters that fit; a
    // caption is never cut).
    QRect cell;
    bool caption = false;  // a label's fixed text
    QString text;
    FontSpec font;           // as the control had it
    double printPoints = 0;  // the size the text prints at: font.size, or less where it had to shrink to fit
    Align align = Align::Left;
    bool rounded = false;
    int lineWeight = 1;
};

struct Page {
    std::vector<DrawnItem> items;
};

struct Pages {
    QString title;  // the document name of a print job
    Orientation orientation = Orientation::Portrait;
    int paperWidth = kA4ShortTwips;  // twips, as oriented
    int paperHeight = kA4LongTwips;
    int marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
    std::vector<Page> pages;
    QString error;  // why the report could not be laid out; empty when it was
};

// The rows of a work table.
struct Rows {
    QStringList fields;
    std::vector<std::vector<QVariant>> values;
    QString error;  // why the table could not be read; empty when it was
};

// Reads a whole table of a database file, in its stored order.
Rows ReadTable(const QString& databasePath, const QString& table);

class Report {
public:
    explicit Report(QString title);
    virtual ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    const QString& Title() const { return title_; }

    // ---- Page set-up (A4 unless told otherwise)
    void SetOrientation(Orientation o) { orientation_ = o; }
    Orientation GetOrientation() const { return orientation_; }
    void SetMargins(int left, int top, int right, int bottom);
    void SetPrintWidth(int twips) { printWidth_ = twips; }
    int PrintWidth() const { return printWidth_; }
    void SetBandHeight(Band band, int twips);
    int BandHeight(Band band) const;

    // ---- The data source, bound when the report starts
    void BindData(const QString& databasePath, const QString& table);
    const QString& DatabaseName() const { return databasePath_; }
    const QString& RecordSource() const { return table_; }

    // ---- Controls (the references stay valid for the report's life)
    Control& AddLabel(Band band, const QString& name, const QString& caption, QRect twips, FontSpec font,
                      Align align = Align::Left);
    Control& AddField(Band band, const QString& name, const QString& dataField, QRect twips, FontSpec font,
                      Align align = Align::Left, const QString& outputFormat = QString());
    Control& AddPageNumber(Band band, const QString& name, QRect twips, FontSpec font, Align align);
    Control& AddPageCount(Band band, const QString& name, QRect twips, FontSpec font, Align align);
    Control& AddLine(Band band, const QString& name, int x1, int y1, int x2, int y2, int weight = 1);
    Control& AddShape(Band band, const QString& name, QRect twips, bool rounded = false);
    // The control of that name, or nullptr.
    Control* Find(const QString& name);

    // ---- Running
    // Starts the report, reads its table and lays it out, unless that was
    // done since it was made or last restarted.
    const Pages& Run();
    // Makes the next Run start again over the table as it is now.
    void Restart();
    // How many print jobs of this report printed (the series number of the next one).
    int& PrintsMade() { return printsMade_; }

protected:
    // The three events: the report start binds the data and sets up the page;
    // the page header's format runs before each page header is laid out, the
    // detail's after the row's values are in the bound fields.
    virtual void ReportStart() {}
    virtual void PageHeaderFormat() {}
    virtual void DetailFormat() {}

private:
    friend Pages Layout(Report& report, const Rows& rows);
    Control& Add(Band band, Control control);

    QString title_;
    Orientation orientation_ = Orientation::Portrait;
    int marginLeft_ = 1440, marginTop_ = 1440, marginRight_ = 1440, marginBottom_ = 1440;
    int printWidth_ = 0;
    int heights_[3] = {0, 0, 0};
    QString databasePath_;
    QString table_;
    std::deque<Control> controls_;
    std::vector<Control*> bands_[3];
    bool started_ = false;
    Pages pages_;
    int printsMade_ = 0;
};

// Runs the report's band events over the rows and returns its pages. The
// page count fields show the number of pages. The report start is not run
// here: Run does it before reading the table.
Pages Layout(Report& report, const Rows& rows);

// The text of a bound value through an output format: numbers through
// ui::FormatNumber, dates through the program's date formatter, yes/no as
// -1 and 0.
QString BoundText(const QVariant& value, const QString& outputFormat);

// A plain-text dump of the pages, one item a line.
QString Dump(const Pages& pages);
QString Dump(const DrawnItem& item);

// The items a control drew on a page, in drawing order, and their texts.
std::vector<const DrawnItem*> ItemsOf(const Page& page, const QString& control);
QStringList TextsOf(const Page& page, const QString& control);

}  // namespace report

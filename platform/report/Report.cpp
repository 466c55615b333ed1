#include "platform/report/Report.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QSet>
#include <QTextBoundaryFinder>
#include <QtDebug>
#include <cmath>
#include <map>
#include <tuple>

#include "platform/db/Database.h"
#include "platform/report/Fonts.h"
#include "platform/ui/Formats.h"

namespace report {

namespace {

constexpr int kBandCount = 3;
constexpr double kSmallestFitPoints = 6;
// A right-aligned amount shrinks further before its box widens past the
// rule of its column: a thirteen-digit total stays inside a month column.
constexpr double kSmallestAmountPoints = 5;
// Room kept when a text is fitted, for the small differences between the
// metrics of layout and those of the printer.
constexpr double kFitSlack = 0.97;
// The pen of a rule of weight 1, and the room a cut text keeps from the
// rule that ends its column.
constexpr int kPenTwips = 15;
constexpr int kColumnGapTwips = 60;
// How far outside a text's box a rule still bounds its cell.
constexpr int kRuleReachTwips = 60;
// The smallest share of its size a left-aligned text too long for its cell
// prints at before it is cut.
constexpr double kSmallestLeftShare = 0.75;

int Index(Band band) { return int(band); }

// Shrinks a right-aligned or centred text that its box cannot hold (an
// amount down to a smaller size than other text), and widens the box
// (towards the left for right-aligned text) when even the smallest size
// does not fit: the leading digits of an amount are never cut.
class Fitter {
public:
    void Fit(DrawnItem& item) {
        item.printPoints = item.font.size;
        if (!qGuiApp || item.text.isEmpty() || item.align == Align::Left) return;
        const double room = (item.rect.width() - (item.align == Align::Right ? kRightInsetTwips : 0)) * kFitSlack;
        double width = WidthOf(item.font, item.font.size, item.text);
        if (width <= room) return;
        const double smallest = item.align == Align::Right ? kSmallestAmountPoints : kSmallestFitPoints;
        const double points = std::max(smallest, std::floor(item.font.size * room / width * 4) / 4);
        item.printPoints = points;
        width = WidthOf(item.font, points, item.text);
        if (width <= room) return;
        const int grow = int(std::ceil(width / kFitSlack)) - int(room / kFitSlack);
        if (item.align == Align::Right) item.rect.setLeft(item.rect.left() - grow);
        else item.rect.adjust(-grow / 2, 0, grow - grow / 2, 0);
    }

    // The width of an item's text at the size it prints at.
    double WidthOf(const DrawnItem& item) {
        return WidthOf(item.font, item.printPoints > 0 ? item.printPoints : item.font.size, item.text);
    }

private:
    double WidthOf(const FontSpec& face, double points, const QString& text) {
        FontSpec key = face;
        key.size = points;
        auto it = metrics_.find(key);
        if (it == metrics_.end()) it = metrics_.emplace(key, QFontMetricsF(TwipFont(face, points))).first;
        return it->second.horizontalAdvance(text);
    }
    struct KeyLess {
        bool operator()(const FontSpec& a, const FontSpec& b) const {
            return std::tie(a.name, a.size, a.bold) < std::tie(b.name, b.size, b.bold);
        }
    };
    std::map<FontSpec, QFontMetricsF, KeyLess> metrics_;
};

void Snapshot(const std::vector<Control*>& band, int bandTop, int pageNumber, Page& page, Fitter& fitter) {
    for (const Control* c : band) {
        if (!c->visible) continue;
        DrawnItem item;
        item.control = c->name;
        switch (c->kind) {
        case ControlKind::Line:
            item.kind = ItemKind::Line;
            item.rect = QRect(QPoint(c->x1, bandTop + c->y1), QPoint(c->x2, bandTop + c->y2));
            item.lineWeight = c->lineWeight;
            break;
        case ControlKind::Shape:
            item.kind = ItemKind::Shape;
            item.rect = QRect(c->left, bandTop + c->top, c->width, c->height);
            item.rounded = c->rounded;
            break;
        default:
            item.kind = ItemKind::Text;
            item.rect = QRect(c->left, bandTop + c->top, c->width, c->height);
            item.text = c->kind == ControlKind::PageNumber ? QString::number(pageNumber) : c->text;
            item.font = c->font;
            item.align = c->align;
            item.caption = c->kind == ControlKind::Label;
            fitter.Fit(item);
            break;
        }
        page.items.push_back(std::move(item));
    }
}

// A rule that can bound a text: a straight line, or an edge of a frame,
// with the half of its pen.
struct Rule {
    bool vertical = false;
    int at = 0;            // x of a vertical rule, y of a horizontal one
    int from = 0, to = 0;  // the span it runs along
    int halfPen = 0;
};

std::vector<Rule> RulesOf(const Page& page) {
    std::vector<Rule> rules;
    for (const DrawnItem& item : page.items) {
        const QRect& r = item.rect;
        if (item.kind == ItemKind::Line) {
            const int half = (kPenTwips * std::max(1, item.lineWeight) + 1) / 2;
            if (r.left() == r.right())
                rules.push_back({true, r.left(), std::min(r.top(), r.bottom()), std::max(r.top(), r.bottom()), half});
            else if (r.top() == r.bottom())
                rules.push_back({false, r.top(), std::min(r.left(), r.right()), std::max(r.left(), r.right()), half});
        } else if (item.kind == ItemKind::Shape) {
            const int half = (kPenTwips + 1) / 2, right = r.left() + r.width(), bottom = r.top() + r.height();
            rules.push_back({false, r.top(), r.left(), right, half});
            rules.push_back({false, bottom, r.left(), right, half});
            rules.push_back({true, r.left(), r.top(), bottom, half});
            rules.push_back({true, right, r.top(), bottom, half});
        }
    }
    return rules;
}

// The longest start of a text, in whole characters, that is no wider than room.
QString CutToFit(DrawnItem& item, double room, Fitter& fitter) {
    const QString whole = item.text;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, whole);
    qsizetype fits = 0;
    for (qsizetype end = graphemes.toNextBoundary(); end > 0; end = graphemes.toNextBoundary()) {
        item.text = whole.left(end);
        if (fitter.WidthOf(item) > room) break;
        fits = end;
    }
    return whole.left(fits);
}

// A left-aligned field's text wider than its cell is made smaller, down to
// three quarters of its size (not under the smallest size, unless it was
// smaller); then cut to whole characters: no glyph is ever cut through.
void FitIntoCell(DrawnItem& item, Fitter& fitter) {
    if (item.align != Align::Left || item.caption || !qGuiApp || fitter.WidthOf(item) <= item.cell.width()) return;
    const double room = item.cell.width();
    const double smallest = std::min(item.font.size, std::max(kSmallestFitPoints, item.font.size * kSmallestLeftShare));
    item.printPoints = std::max(smallest, std::floor(item.font.size * room / fitter.WidthOf(item) * 4) / 4);
    if (fitter.WidthOf(item) > room) item.text = CutToFit(item, room, fitter);
}

// Sets the cell of every text of a page: its box, each of whose top and
// bottom is moved to the nearest rule that crosses the box on that side of
// its middle or runs just outside it (the rules of its row). A left-aligned
// text also ends before a rule or the box of another text that its box
// reaches on the right; a field's text that does not fit there is made
// smaller, then cut.
void SetCells(Page& page, Fitter& fitter) {
    const std::vector<Rule> rules = RulesOf(page);
    for (DrawnItem& item : page.items) {
        if (item.kind != ItemKind::Text) continue;
        const QRect& r = item.rect;
        int left = r.left(), right = r.left() + r.width(), top = r.top(), bottom = r.top() + r.height();
        const int middle = (top + bottom) / 2;
        const Rule* above = nullptr;
        const Rule* below = nullptr;
        for (const Rule& rule : rules) {
            if (rule.vertical || rule.to <= left || rule.from >= right) continue;
            if (rule.at < middle && rule.at > top - kRuleReachTwips && (!above || rule.at > above->at)) above = &rule;
            if (rule.at >= middle && rule.at < bottom + kRuleReachTwips && (!below || rule.at < below->at))
                below = &rule;
        }
        if (above) top = above->at + above->halfPen;
        if (below) bottom = below->at - below->halfPen;
        if (item.align == Align::Left) {
            for (const Rule& rule : rules)
                if (rule.vertical && rule.at > left && rule.at < right && rule.to > top && rule.from < bottom)
                    right = std::min(right, rule.at - rule.halfPen - kColumnGapTwips);
            // Nor does it run into the box of the next text on its line.
            for (const DrawnItem& next : page.items)
                if (next.kind == ItemKind::Text && next.rect.left() > left && next.rect.left() < right &&
                    next.rect.top() < bottom && next.rect.bottom() > top)
                    right = std::min(right, next.rect.left() - kColumnGapTwips);
        }
        item.cell = QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
        FitIntoCell(item, fitter);
    }
}

}  // namespace

// ---------------------------------------------------------------- reading

Rows ReadTable(const QString& databasePath, const QString& table) {
    Rows rows;
    db::Database database;
    if (!database.Open(databasePath)) {
        rows.error = database.LastError();
        return rows;
    }
    db::Recordset rs = database.OpenRecordset(QStringLiteral("select * from [") + table + QStringLiteral("]"));
    if (!rs.IsOpen()) {
        rows.error = database.LastError().isEmpty() ? rs.LastError() : database.LastError();
        if (rows.error.isEmpty()) rows.error = QStringLiteral("the table %1 cannot be read").arg(table);
        return rows;
    }
    for (int i = 0; i < rs.FieldCount(); ++i) rows.fields << rs.FieldName(i);
    rows.values.reserve(size_t(rs.RecordCount()));
    for (; !rs.IsEOF(); rs.MoveNext()) {
        std::vector<QVariant> row(size_t(rs.FieldCount()));
        for (int i = 0; i < rs.FieldCount(); ++i) row[size_t(i)] = rs.Value(i);
        rows.values.push_back(std::move(row));
    }
    return rows;
}

// ---------------------------------------------------------------- the report

Report::Report(QString title) : title_(std::move(title)) {}
Report::~Report() = default;

void Report::SetMargins(int left, int top, int right, int bottom) {
    marginLeft_ = left;
    marginTop_ = top;
    marginRight_ = right;
    marginBottom_ = bottom;
}

void Report::SetBandHeight(Band band, int twips) { heights_[Index(band)] = std::max(0, twips); }
int Report::BandHeight(Band band) const { return heights_[Index(band)]; }

void Report::BindData(const QString& databasePath, const QString& table) {
    databasePath_ = databasePath;
    table_ = table;
}

Control& Report::Add(Band band, Control control) {
    controls_.push_back(std::move(control));
    bands_[Index(band)].push_back(&controls_.back());
    return controls_.back();
}

Control& Report::AddLabel(Band band, const QString& name, const QString& caption, QRect twips, FontSpec font,
                          Align align) {
    Control c;
    c.name = name;
    c.kind = ControlKind::Label;
    c.Move(twips.x(), twips.y(), twips.width(), twips.height());
    c.text = caption;
    c.font = std::move(font);
    c.align = align;
    return Add(band, std::move(c));
}

Control& Report::AddField(Band band, const QString& name, const QString& dataField, QRect twips, FontSpec font,
                          Align align, const QString& outputFormat) {
    Control& c = AddLabel(band, name, QString(), twips, std::move(font), align);
    c.kind = ControlKind::Field;
    c.dataField = dataField;
    c.outputFormat = outputFormat;
    return c;
}

Control& Report::AddPageNumber(Band band, const QString& name, QRect twips, FontSpec font, Align align) {
    Control& c = AddLabel(band, name, QString(), twips, std::move(font), align);
    c.kind = ControlKind::PageNumber;
    return c;
}

Control& Report::AddPageCount(Band band, const QString& name, QRect twips, FontSpec font, Align align) {
    Control& c = AddLabel(band, name, QString(), twips, std::move(font), align);
    c.kind = ControlKind::PageCount;
    return c;
}

Control& Report::AddLine(Band band, const QString& name, int x1, int y1, int x2, int y2, int weight) {
    Control c;
    c.name = name;
    c.kind = ControlKind::Line;
    c.SetLine(x1, y1, x2, y2);
    c.lineWeight = weight;
    return Add(band, std::move(c));
}

Control& Report::AddShape(Band band, const QString& name, QRect twips, bool rounded) {
    Control c;
    c.name = name;
    c.kind = ControlKind::Shape;
    c.Move(twips.x(), twips.y(), twips.width(), twips.height());
    c.rounded = rounded;
    return Add(band, std::move(c));
}

Control* Report::Find(const QString& name) {
    for (Control& c : controls_)
        if (c.name == name) return &c;
    return nullptr;
}

const Pages& Report::Run() {
    if (started_) return pages_;
    started_ = true;
    ReportStart();
    const Rows rows = ReadTable(databasePath_, table_);
    if (!rows.error.isEmpty()) {
        pages_ = Pages();
        pages_.title = title_;
        // The caller tells the user and logs it.
        pages_.error = QStringLiteral("%1 (%2): %3").arg(table_, databasePath_, rows.error);
        return pages_;
    }
    pages_ = Layout(*this, rows);
    return pages_;
}

void Report::Restart() {
    started_ = false;
    pages_ = Pages();
}

// ---------------------------------------------------------------- layout

QString BoundText(const QVariant& value, const QString& outputFormat) {
    if (value.isNull() || !value.isValid()) return QString();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return ui::FormatNumber(value.toBool() ? -1 : 0, outputFormat.isEmpty() ? QStringLiteral("0") : outputFormat);
    case QMetaType::QDate:
        return ui::FormatDate(value.toDate(), outputFormat.isEmpty() ? QStringLiteral("yyyy/mm/dd") : outputFormat);
    case QMetaType::QString: return value.toString();
    default:
        if (!outputFormat.isEmpty()) return ui::FormatNumber(value, outputFormat);
        return value.toString();
    }
}

Pages Layout(Report& report, const Rows& rows) {
    Pages out;
    out.title = report.title_;
    out.orientation = report.orientation_;
    const bool landscape = report.orientation_ == Orientation::Landscape;
    out.paperWidth = landscape ? kA4LongTwips : kA4ShortTwips;
    out.paperHeight = landscape ? kA4ShortTwips : kA4LongTwips;
    out.marginLeft = report.marginLeft_;
    out.marginTop = report.marginTop_;
    out.marginRight = report.marginRight_;
    out.marginBottom = report.marginBottom_;
    const int bodyHeight = out.paperHeight - out.marginTop - out.marginBottom;

    // Where each bound control finds its value in a row.
    std::vector<std::pair<Control*, int>> bound;
    for (int b = 0; b < kBandCount; ++b)
        for (Control* c : report.bands_[b]) {
            if (c->kind != ControlKind::Field || c->dataField.isEmpty()) continue;
            int column = -1;
            for (int i = 0; i < rows.fields.size() && column < 0; ++i)
                if (rows.fields[i].compare(c->dataField, Qt::CaseInsensitive) == 0) column = i;
            if (column < 0)
                qWarning().noquote() << "report" << report.title_ << ": the table has no field" << c->dataField;
            bound.emplace_back(c, column);
        }
    const auto bindRow = [&](const std::vector<QVariant>* row) {
        for (auto& [c, column] : bound) {
            c->value = row && column >= 0 ? (*row)[size_t(column)] : QVariant();
            c->text = BoundText(c->value, c->outputFormat);
        }
    };

    Fitter fitter;
    int y = 0;
    int footerTop = bodyHeight;
    const auto endPage = [&] {
        Page& page = out.pages.back();
        Snapshot(report.bands_[Index(Band::PageFooter)], footerTop, int(out.pages.size()), page, fitter);
        SetCells(page, fitter);
    };
    const auto newPage = [&] {
        if (!out.pages.empty()) endPage();
        out.pages.emplace_back();
        report.PageHeaderFormat();
        Snapshot(report.bands_[Index(Band::PageHeader)], 0, int(out.pages.size()), out.pages.back(), fitter);
        y = report.BandHeight(Band::PageHeader);
        footerTop = bodyHeight - report.BandHeight(Band::PageFooter);
    };

    if (!rows.values.empty()) bindRow(&rows.values.front());
    newPage();
    for (const auto& row : rows.values) {
        bindRow(&row);
        report.DetailFormat();
        int height = report.BandHeight(Band::Detail);
        // A row that does not fit goes to the next page, unless it is the
        // first row of its page (a band higher than the page is cut).
        if (y + height > footerTop && y > report.BandHeight(Band::PageHeader)) {
            newPage();
            // The page header's event may have written the row's fields:
            // the row is bound and formatted again under its new page.
            bindRow(&row);
            report.DetailFormat();
            height = report.BandHeight(Band::Detail);
        }
        Snapshot(report.bands_[Index(Band::Detail)], y, int(out.pages.size()), out.pages.back(), fitter);
        y += height;
    }
    endPage();

    // The page count is known only now.
    QSet<QString> countNames;
    for (int b = 0; b < kBandCount; ++b)
        for (const Control* c : report.bands_[b])
            if (c->kind == ControlKind::PageCount) countNames.insert(c->name);
    const QString count = QString::number(out.pages.size());
    for (Page& page : out.pages)
        for (DrawnItem& item : page.items)
            if (item.kind == ItemKind::Text && countNames.contains(item.control)) {
                item.text = count;
                fitter.Fit(item);
                FitIntoCell(item, fitter);
            }
    return out;
}

// ---------------------------------------------------------------- dump

QString Dump(const DrawnItem& item) {
    const QRect& r = item.rect;
    switch (item.kind) {
    case ItemKind::Line:
        return QStringLiteral("line %1 (%2,%3)-(%4,%5) w%6")
            .arg(item.control)
            .arg(r.left())
            .arg(r.top())
            .arg(r.right())
            .arg(r.bottom())
            .arg(item.lineWeight);
    case ItemKind::Shape:
        return QStringLiteral("shape %1 [%2,%3 %4x%5]%6")
            .arg(item.control)
            .arg(r.left())
            .arg(r.top())
            .arg(r.width())
            .arg(r.height())
            .arg(item.rounded ? QStringLiteral(" rounded") : QString());
    case ItemKind::Text: break;
    }
    const char* align = item.align == Align::Left ? "left" : item.align == Align::Right ? "right" : "center";
    const QString size = item.printPoints == item.font.size || item.printPoints == 0
                             ? QString::number(item.font.size)
                             : QStringLiteral("%1>%2").arg(item.font.size).arg(item.printPoints);
    return QStringLiteral("text %1 [%2,%3 %4x%5] %6 %7pt%8 %9 \"%10\"")
        .arg(item.control)
        .arg(r.left())
        .arg(r.top())
        .arg(r.width())
        .arg(r.height())
        .arg(item.font.name)
        .arg(size)
        .arg(item.font.bold ? QStringLiteral(" bold") : QString())
        .arg(QLatin1String(align))
        .arg(item.text);
}

QString Dump(const Pages& pages) {
    QString out;
    if (!pages.error.isEmpty()) out += QStringLiteral("error: ") + pages.error + u'\n';
    for (size_t i = 0; i < pages.pages.size(); ++i) {
        out += QStringLiteral("page %1/%2\n").arg(i + 1).arg(pages.pages.size());
        for (const DrawnItem& item : pages.pages[i].items) out += Dump(item) + u'\n';
    }
    return out;
}

std::vector<const DrawnItem*> ItemsOf(const Page& page, const QString& control) {
    std::vector<const DrawnItem*> found;
    for (const DrawnItem& item : page.items)
        if (item.control == control) found.push_back(&item);
    return found;
}

QStringList TextsOf(const Page& page, const QString& control) {
    QStringList texts;
    for (const DrawnItem& item : page.items)
        if (item.control == control) texts << item.text;
    return texts;
}

}  // namespace report

#include "platform/ui/GridFit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QToolTip>
#include <algorithm>
#include <numeric>

#include "platform/ui/DataControl.h"
#include "platform/ui/Grid.h"
#include "platform/ui/GridDropDown.h"
#include "platform/ui/Twips.h"

namespace ui {

namespace {

// What a cell needs around its text: the style's text margin on each side
// (the margin item views draw with).
int CellPadding(const QWidget* widget) {
    return 2 * (widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1);
}

int TextNeed(const QFontMetrics& metrics, const QString& text, int padding) {
    return metrics.horizontalAdvance(text) + padding;
}

// Shows the whole text of a cut cell as its tooltip.
class CutCellTips : public QObject {
public:
    explicit CutCellTips(QAbstractItemView* view) : QObject(view), view_(view) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip || watched != view_->viewport()) return false;
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = view_->indexAt(help->pos());
        const QString text = index.isValid() ? index.data(Qt::DisplayRole).toString() : QString();
        const QRect cell = view_->visualRect(index);
        if (!text.isEmpty() && TextNeed(QFontMetrics(view_->font()), text, CellPadding(view_)) > cell.width())
            QToolTip::showText(help->globalPos(), text, view_->viewport(), cell);
        else QToolTip::hideText();
        return true;
    }

private:
    QAbstractItemView* view_;
};

}  // namespace

void ShowCutCellsAsTooltips(QAbstractItemView* view) { view->viewport()->installEventFilter(new CutCellTips(view)); }

GridFit::GridFit(DataGrid* grid) : QObject(grid), grid_(grid), gridObject_(grid), viewport_(grid->View()->viewport()) {
    QAbstractItemView* view = grid->View();
    view->viewport()->installEventFilter(this);
    grid->installEventFilter(this);
    ShowCutCellsAsTooltips(view);
    if (DataControl* source = grid->DataSource()) connect(source, &DataControl::refreshed, this, &GridFit::Fit);
    Fit();
}

std::vector<int> GridFit::ShareOut(const std::vector<int>& needs, int room) {
    std::vector<int> widths(needs.size(), 0);
    if (needs.empty()) return widths;
    const int total = std::accumulate(needs.begin(), needs.end(), 0);
    if (total <= room) {
        widths = needs;
        widths.back() += room - total;
        return widths;
    }
    // Narrowest first: each takes what it needs or its equal share of what
    // is left, whichever is less.
    std::vector<size_t> order(needs.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return needs[a] < needs[b]; });
    int left = std::max(room, 0);
    for (size_t i = 0; i < order.size(); ++i) {
        const int share = left / int(order.size() - i);
        widths[order[i]] = std::max(1, std::min(needs[order[i]], share));
        left -= widths[order[i]];
    }
    return widths;
}

void GridFit::Fit() {
    if (!grid_ || fitting_) return;
    fitting_ = true;
    QAbstractItemView* view = grid_->View();
    const QFontMetrics cells(view->font());
    auto* table = qobject_cast<QTableView*>(view);
    const QFontMetrics captions(table ? table->horizontalHeader()->font() : view->font());
    // A column holds its cells and the grid line at their right.
    const int padding = CellPadding(view) + (table && table->showGrid() ? 1 : 0);

    std::vector<int> columns, needs;
    for (int c = 0; c < grid_->ColumnCount(); ++c) {
        if (!grid_->Columns(c).Visible()) continue;
        int need = TextNeed(captions, grid_->Columns(c).Caption(), padding);
        for (int r = 0; r < grid_->RowCount(); ++r)
            need = std::max(need, TextNeed(cells, grid_->CellText(r, c), padding));
        columns.push_back(c);
        needs.push_back(need);
    }
    const std::vector<int> widths = ShareOut(needs, view->viewport()->width());
    for (size_t i = 0; i < columns.size(); ++i) {
        GridColumn& column = grid_->Columns(columns[i]);
        if (TwipsToPixels(column.Width()) != widths[i]) column.SetWidth(PixelsToTwips(widths[i]));
    }
    fitting_ = false;
}

bool GridFit::eventFilter(QObject* watched, QEvent* event) {
    // Nothing of the grid is called before the event is known to be a resize
    // of the grid or its viewport, which a grid being destroyed never gets.
    if (event->type() == QEvent::Resize && (watched == viewport_ || watched == gridObject_)) Fit();
    return false;
}

void FitDropDownToContent(GridDropDown& list, QWidget* fontOf) {
    QPointer<QWidget> widget(fontOf);
    auto fit = [&list, widget] {
        if (!widget) return;
        const QFontMetrics metrics(widget->font());
        const int padding = CellPadding(widget);
        const QScreen* screen = widget->screen() ? widget->screen() : QApplication::primaryScreen();
        const int most = screen ? screen->availableGeometry().width() / 2 : 800;
        const int columns = list.ListFields().isEmpty() && list.DataSource() ? list.DataSource()->FieldCount()
                                                                             : int(list.ListFields().size());
        for (int c = 0; c < columns; ++c) {
            int need = padding;
            for (int r = 0; r < list.RowCount(); ++r)
                need = std::max(need, TextNeed(metrics, list.Value(r, c).toString(), padding));
            list.SetColumnWidth(c, PixelsToTwips(std::min(need, most)));
        }
    };
    if (DataControl* source = list.DataSource()) QObject::connect(source, &DataControl::refreshed, &list, fit);
    fit();
}

}  // namespace ui

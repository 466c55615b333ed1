#include "platform/ui/GridDropDown.h"

#include <QAbstractTableModel>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/ui/GridFit.h"
#include "platform/ui/GridFormat.h"
#include "platform/ui/Twips.h"

namespace ui {

namespace {

// The list's rows as its data control kept them.
class DropDownModel : public QAbstractTableModel {
public:
    explicit DropDownModel(const GridDropDown* list, QObject* parent) : QAbstractTableModel(parent), list_(list) {}
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : list_->RowCount();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        if (parent.isValid()) return 0;
        const QStringList fields = list_->ListFields();
        if (!fields.isEmpty()) return static_cast<int>(fields.size());
        return list_->DataSource() ? list_->DataSource()->FieldCount() : 0;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return QVariant();
        return FormatCellText(list_->Value(index.row(), index.column()), QString());
    }

private:
    const GridDropDown* list_;
};

// Picks on a click or Enter; Esc closes.
class DropDownView : public QTableView {
public:
    DropDownView(QWidget* parent, std::function<void(int)> pick, std::function<void()> close)
        : QTableView(parent), pick_(std::move(pick)), close_(std::move(close)) {}

protected:
    void keyPressEvent(QKeyEvent* e) override {
        switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (currentIndex().isValid()) pick_(currentIndex().row());
            return;
        case Qt::Key_Escape: close_(); return;
        default: QTableView::keyPressEvent(e);
        }
    }
    void mousePressEvent(QMouseEvent* e) override {
        const QModelIndex index = indexAt(e->position().toPoint());
        if (index.isValid() && e->button() == Qt::LeftButton) pick_(index.row());
    }

private:
    std::function<void(int)> pick_;
    std::function<void()> close_;
};

}  // namespace

class DropDownPopup : public QFrame {
public:
    DropDownPopup(GridDropDown* list, QWidget* parent) : QFrame(parent, Qt::Popup), list_(list) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setAttribute(Qt::WA_DeleteOnClose);
        view_ = new DropDownView(
            this, [this](int row) { list_->Pick(row); }, [this] { close(); });
        view_->setModel(new DropDownModel(list, view_));
        view_->horizontalHeader()->hide();
        view_->verticalHeader()->hide();
        view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view_->setSelectionBehavior(QAbstractItemView::SelectRows);
        view_->setSelectionMode(QAbstractItemView::SingleSelection);
        view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view_->setShowGrid(false);
        view_->setWordWrap(false);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(1, 1, 1, 1);
        layout->addWidget(view_);
    }
    QTableView* View() const { return view_; }

private:
    GridDropDown* list_;
    DropDownView* view_;
};

GridDropDown::GridDropDown(QObject* parent) : QObject(parent) {}

GridDropDown::~GridDropDown() { Close(); }

void GridDropDown::SetColumnWidth(int column, int twips) {
    if (column < 0) return;
    if (widths_.size() <= static_cast<size_t>(column)) widths_.resize(static_cast<size_t>(column) + 1, 0);
    widths_[static_cast<size_t>(column)] = std::max(0, twips);
}

int GridDropDown::RowCount() const { return source_ ? source_->RowCount() : 0; }

int GridDropDown::ShownColumnCount() const {
    if (!fields_.isEmpty()) return static_cast<int>(fields_.size());
    return source_ ? source_->FieldCount() : 0;
}

int GridDropDown::FieldOf(int column) const {
    if (!source_ || column < 0 || column >= ShownColumnCount()) return -1;
    return fields_.isEmpty() ? column : source_->FieldIndex(fields_[column]);
}

QVariant GridDropDown::Value(int row, int column) const {
    return source_ ? source_->Value(row, FieldOf(column)) : QVariant();
}

QVariant GridDropDown::ColumnValue(const QString& field) const {
    return source_ ? source_->Value(selected_, source_->FieldIndex(field)) : QVariant();
}

QVariant GridDropDown::PickedValue(int row) const {
    if (!source_) return QVariant();
    const int field = dataField_.isEmpty() ? FieldOf(0) : source_->FieldIndex(dataField_);
    return source_->Value(row, field);
}

void GridDropDown::Open(QWidget* owner, const QRect& cellOnScreen, const QVariant& current,
                        std::function<void(int)> picked) {
    Close();
    picked_ = std::move(picked);
    auto* popup = new DropDownPopup(this, owner);
    popup_ = popup;
    if (source_) {
        connect(source_, &DataControl::aboutToRefresh, popup, &QWidget::close);
        connect(source_, &QObject::destroyed, popup, &QWidget::close);
    }
    QTableView* view = popup->View();
    ShowCutCellsAsTooltips(view);

    const int columns = ShownColumnCount();
    int listWidth = 0;
    for (int c = 0; c < columns; ++c) {
        const int twips = static_cast<size_t>(c) < widths_.size() ? widths_[static_cast<size_t>(c)] : 0;
        const int width = twips > 0 ? TwipsToPixels(twips) : std::max(cellOnScreen.width() / std::max(columns, 1), 60);
        view->setColumnWidth(c, width);
        listWidth += width;
    }
    const int rowHeight = view->verticalHeader()->defaultSectionSize();
    const int shownRows = std::clamp(RowCount(), 1, 8);
    const int width = std::max(cellOnScreen.width(), listWidth + 24);
    popup->setGeometry(cellOnScreen.left(), cellOnScreen.bottom() + 1, width, shownRows * rowHeight + 4);

    const QString currentText = FormatCellText(current, QString());
    for (int r = 0; r < RowCount(); ++r) {
        if (!currentText.isEmpty() && FormatCellText(PickedValue(r), QString()) == currentText) {
            view->setCurrentIndex(view->model()->index(r, 0));
            break;
        }
    }
    popup->show();
    view->setFocus();
}

void GridDropDown::Pick(int row) {
    selected_ = row;
    std::function<void(int)> picked = std::move(picked_);
    Close();
    if (picked) picked(row);
}

void GridDropDown::Close() {
    picked_ = {};
    if (popup_) {
        QWidget* popup = popup_;
        popup_ = nullptr;
        popup->close();  // deletes itself
    }
}

}  // namespace ui

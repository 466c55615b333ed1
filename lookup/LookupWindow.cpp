#include "lookup/LookupWindow.h"

#include <QCoreApplication>
#include <QFont>

#include "lookup/Kana.h"
#include "platform/db/Quote.h"
#include "platform/db/Scratch.h"
#include "platform/db/Transaction.h"
#include "platform/ui/GridFit.h"
#include "platform/ui/MessagePresenter.h"

namespace lookup {

namespace {

const QString kReading = QStringLiteral("ふりがな");
const QString kOneBlank = QStringLiteral("　");  // one ideographic space

// The index buttons 0-47 of both windows; 48 differs, 49 is one blank.
const QString kKanaCaptions = QStringLiteral(
    "あいうえおかきくけこさしすせそたちつてとなにぬねの"
    "はひふへほまみむめもやゐゆゑよらりるれろわをん");

// Layout, in twips: five index buttons a row (あ い う え お), one row per line
// of the chart, the list to their right and the commands under it. The
// window opens at its smallest size; the list grows with the window.
constexpr int kMargin = 120;
constexpr int kKanaWidth = 480, kKanaHeight = 420;
constexpr int kKanaLeft = kMargin, kKanaTop = kMargin;
constexpr int kKanaFrameWidth = 5 * kKanaWidth + 2 * 60, kKanaFrameHeight = 10 * kKanaHeight + 2 * 60;
constexpr int kListLeft = kKanaLeft + kKanaFrameWidth + kMargin;
constexpr int kListWidth = 4560, kCommandHeight = 600;
constexpr int kClientWidth = kListLeft + kListWidth + kMargin;
constexpr int kClientHeight = kMargin + kKanaFrameHeight + kMargin;

}  // namespace

const LookupSettings& ItemLookup() {
    static const LookupSettings settings{
        QStringLiteral("FrmPelmora"),
        QStringLiteral("科目参照"),
        QStringLiteral("科目"),
        QStringLiteral("科目マスタ"),
        QStringLiteral("w科目参照"),
        QStringLiteral("　　"),
        QStringLiteral("select 科目,ふりがな from 科目マスタ order by ふりがな;"),
        /*openDataFirst=*/false,
        /*pickNeedsName=*/false,
        /*clearEnsuresWork=*/false,
    };
    return settings;
}

const LookupSettings& PartnerLookup() {
    static const LookupSettings settings{
        QStringLiteral("FrmDunvasel"),
        QStringLiteral("取引先参照"),
        QStringLiteral("取引先名"),
        QStringLiteral("取引先マスタ"),
        QStringLiteral("w取引先参照"),
        QStringLiteral("　"),
        QStringLiteral("select 取引先名,ふりがな from 取引先マスタ ") + QStringLiteral(" order by ふりがな;"),
        /*openDataFirst=*/true,
        /*pickNeedsName=*/true,
        /*clearEnsuresWork=*/true,
    };
    return settings;
}

QString IndexCaption(const LookupSettings& settings, int index) {
    if (index >= 0 && index < kKanaCaptions.size()) return kKanaCaptions.mid(index, 1);
    if (index == 48) return settings.blankCaption;
    if (index == 49) return kOneBlank;
    return QString();
}

QString IndexStatement(const LookupSettings& settings, const QString& caption) {
    const QString select =
        QStringLiteral("select %1,%2 from %3 ").arg(settings.nameField, kReading, settings.masterTable);
    const QString order = QStringLiteral(" order by ふりがな;");
    if (caption == kOneBlank) return select + order;

    QVariant katakana, halfWidth;
    KanaVariants(caption, katakana, halfWidth);
    const QString term = QStringLiteral("(ふりがな like '%1*')");
    return select + QStringLiteral("where ") + term.arg(db::SqlLikeEscape(caption)) + QStringLiteral(" or ") +
           term.arg(db::SqlLikeEscape(katakana.toString())) + QStringLiteral(" or ") +
           term.arg(db::SqlLikeEscape(halfWidth.toString())) + order;
}

LookupWindow::LookupWindow(const LookupSettings& settings, LookupState& state) : settings_(settings), state_(state) {
    SetCaption(settings_.caption);
    SetClientSize(kClientWidth, kClientHeight);
    SetResizable(true);
    SetKeyPreview(true);

    Frame索引.SetStyle(ui::Panel::Style::Sunken);
    Frame索引.Move(kKanaLeft, kKanaTop, kKanaFrameWidth, kKanaFrameHeight);
    cmd50.setObjectName(QStringLiteral("cmd50"));
    for (int index = 0; index < 50; ++index) {
        ui::CommandButton& b = cmd50.Add(index, &Frame索引, IndexCaption(settings_, index));
        b.Move(60 + (index % 5) * kKanaWidth, 60 + (index / 5) * kKanaHeight, kKanaWidth, kKanaHeight);
    }

    Frame一覧.SetStyle(ui::Panel::Style::Sunken);
    Grid参照.setObjectName(QStringLiteral("Grid参照"));
    Grid参照.SetDataSource(&dat参照);
    // A buffer that cannot be read is said, not shown as an empty list.
    connect(&dat参照, &ui::DataControl::refreshFailed, this,
            [this](const db::Failure& failure) { SayListFailure(failure); });
    Grid参照.SetColumns({settings_.nameField, kReading});
    // A list to pick from: nothing is typed into it. Its columns follow
    // what they show.
    Grid参照.SetReadOnly(true);
    new ui::GridFit(&Grid参照);

    Frameコマンド.SetStyle(ui::Panel::Style::Flat);
    int x = 0;
    for (ui::CommandButton* b : {&cmd選択, &cmdクリア, &cmd閉じる}) {
        b->Move(x, 60, 1380, 450);
        x += 1590;
    }
    cmd選択.setObjectName(QStringLiteral("cmd選択"));
    cmdクリア.setObjectName(QStringLiteral("cmdクリア"));
    cmd閉じる.setObjectName(QStringLiteral("cmd閉じる"));

    Msg検索中.setObjectName(QStringLiteral("Msg検索中"));
    LayOut();

    connect(&cmd50, &ui::ButtonArray::Click, this, [this](int index) { ReadSansyo(cmd50[index].Caption()); });
    connect(&cmd選択, &ui::CommandButton::Click, this, [this] { Choose(); });
    connect(&cmdクリア, &ui::CommandButton::Click, this, [this] { ClearList(); });
    connect(&cmd閉じる, &ui::CommandButton::Click, this, [this] { Unload(); });
    Grid参照.onDblClick = [this] { Choose(); };
}

void LookupWindow::LayOut() {
    const int listWidth = std::max(kListWidth, ScaleWidth() - kListLeft - kMargin);
    const int listHeight = std::max(1200, ScaleHeight() - 2 * kMargin - kCommandHeight - 90);
    Frame一覧.Move(kListLeft, kMargin, listWidth, listHeight);
    MoveTwips(&Grid参照, 60, 60, listWidth - 120, listHeight - 120);
    Frameコマンド.Move(kListLeft, kMargin + listHeight + 90, listWidth, kCommandHeight);
    Msg検索中.Move(kListLeft + (listWidth - 2700) / 2, kMargin + (listHeight - 660) / 2, 2700, 660);
}

void LookupWindow::OnLoad() {
    OpenConnections();
    FormInit();
    ClearList();
    ReadList();
}

void LookupWindow::OnUnload() { CloseConnections(); }

void LookupWindow::OnKeyDown(ui::KeyArgs& key) {
    if (key.key == Qt::Key_Escape) {
        key.Consume();
        Unload();
    }
}

void LookupWindow::OpenConnections() {
    const QString work = state_.WorkFile.toString();
    const QString data = state_.DataFile.toString();
    // A data file that cannot be opened is said when its rows are read.
    if (settings_.openDataFirst) {
        (void)state_.DbLookupData.Open(data);
        db::OpenScratch(state_.DbLookupWork, work);
    } else {
        db::OpenScratch(state_.DbLookupWork, work);
        (void)state_.DbLookupData.Open(data);
    }
}

void LookupWindow::CloseConnections() {
    if (settings_.openDataFirst) {
        state_.DbLookupData.Close();
        state_.DbLookupWork.Close();
    } else {
        state_.DbLookupWork.Close();
        state_.DbLookupData.Close();
    }
}

void LookupWindow::FormInit() {
    dat参照.SetDatabaseName(state_.WorkFile.toString());
    dat参照.SetRecordSource(settings_.bufferTable);
}

void LookupWindow::ClearList() {
    // The open work connection is used as it is; only a window whose open
    // failed tries again.
    if (settings_.clearEnsuresWork && !state_.DbLookupWork.IsOpen())
        db::OpenScratch(state_.DbLookupWork, state_.WorkFile.toString());
    state_.LookupSqlText = QStringLiteral("delete * from ") + settings_.bufferTable;
    const bool emptied = state_.DbLookupWork.Execute(state_.LookupSqlText);
    // A buffer that cannot be read is said through refreshFailed, once.
    if (dat参照.Refresh() && !emptied) SayListFailure(state_.DbLookupWork.LastFailure());
}

void LookupWindow::ReadList() { FillBuffer(settings_.fullList); }

void LookupWindow::ReadSansyo(const QString& caption) { FillBuffer(IndexStatement(settings_, caption)); }

void LookupWindow::FillBuffer(const QString& source) {
    // The panel is painted before the copy starts; the user's input waits.
    Msg検索中.Begin();

    db::Database& work = state_.DbLookupWork;
    state_.LookupSqlText = QStringLiteral("delete * from ") + settings_.bufferTable;
    // A buffer that keeps its old rows would show them beside the new ones.
    const bool emptied = work.Execute(state_.LookupSqlText);
    db::Failure failure = emptied ? db::Failure() : work.LastFailure();
    state_.LookupSqlText = QStringLiteral("select * from ") + settings_.bufferTable;
    db::Recordset buffer = work.OpenRecordset(state_.LookupSqlText);
    state_.LookupSqlText = source;
    db::Recordset rows = state_.DbLookupData.OpenRecordset(state_.LookupSqlText);

    if (!failure)
        failure = !buffer.IsOpen() ? buffer.LastFailure() : !rows.IsOpen() ? rows.LastFailure() : db::Failure();
    if (!failure && !rows.IsBOF() && !rows.IsEOF()) {
        // One transaction for the whole copy: the work file is written once.
        db::Transaction batch(work);
        while (!failure && !rows.IsEOF()) {
            if (!buffer.AddNew() || !buffer.SetValue(settings_.nameField, rows.Value(settings_.nameField)) ||
                !buffer.SetValue(kReading, rows.Value(kReading)) || !buffer.Update())
                failure = buffer.LastFailure();
            rows.MoveNext();
        }
        if (batch.Began() && !failure && !batch.Commit()) failure = work.LastFailure();
    }
    rows.Close();
    buffer.Close();

    Msg検索中.End();
    // A buffer that cannot be read is said through refreshFailed; a failed
    // copy is said here, so each failure comes up once.
    if (dat参照.Refresh() && failure) SayListFailure(failure);
}

// A list that cannot be read is said, as the program says its failures
// (this library carries none of the program's own code): its reason in
// Japanese, the engine's own words in the log only.
void LookupWindow::SayListFailure(const db::Failure& failure) {
    qWarning().noquote() << "lookup list:" << failure.text;
    ui::MessageBoxContent box;
    box.title = QStringLiteral("エラー");
    box.text = QStringLiteral("一覧を読み込めませんでした。");
    if (const QString reason = db::Reason(failure.kind); !reason.isEmpty()) box.text += u'\n' + reason;
    box.icon = ui::MessageIcon::Warning;
    ui::CurrentPresenter().Present(box);
}

void LookupWindow::Choose() {
    const QVariant name = Grid参照.Columns(0).Value();
    if (settings_.pickNeedsName) {
        if (name.toString().isEmpty()) return;  // no row, or a row without a name
        state_.SelectedName = Grid参照.Columns(0).Text();
    } else {
        state_.SelectedName = name;
    }
    state_.SelectedReading = Grid参照.Columns(1).Text();
    Unload();
}

}  // namespace lookup

#pragma once
// The maintenance screen (保守), on four tab pages:
//  - 設定: the company settings of 自社情報 (title, accounting period, era,
//    tax rounding, the two tax rates in percent and the date the second one
//    applies from) and the data path of 管理, saved by 登録 (F5); a save
//    reloads the settings, chooses the rate in force again and rewrites the
//    main menu's title and period;
//  - データ保守: floppy backup and restore and copies of the data file;
//  - データ削除: five bulk deletes, each after a question and in one
//    transaction, its completion shown only when it was done;
//  - 年次更新: the year-end update. The ending period's masters, company row
//    and lines go into an archive database named after the period's title,
//    built beside the data file and checked before it takes its name; only
//    then do the lines leave the data file and the next period become the
//    current one, in one transaction.
// F1 goes to the entry screen, F9 clears the inputs, Esc closes the screen.

#include <QDate>
#include <QString>
#include <functional>

#include "maintenance/HosyuRules.h"
#include "platform/db/Database.h"
#include "platform/ui/BusyPanel.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

namespace db {
class Database;
}

namespace maintenance {

class FrmHosyu : public ui::Form {
    Q_OBJECT

public:
    FrmHosyu();

    // The pages of SSTab1, in order.
    enum Page { kPage設定 = 0, kPageデータ保守 = 1, kPageデータ削除 = 2, kPage年次更新 = 3 };

    // ---- the screen
    void FormInit();
    void Clear保守画面();

    // ---- settings (設定)
    // The data path into its field; false when it could not be read (said
    // once). Without a row the field stays empty.
    bool ReadEnv();
    // The company row into the page; true when there was a row to read. A
    // read that fails is said once.
    bool Read自社情報();
    // After the question, replaces the company row by the page's settings in
    // one transaction; true when it was stored.
    bool Entry自社情報();
    // Stores the data path in the 管理 row in one statement, without any
    // message unless it fails.
    bool EntryEnv();
    // 登録: the company row (asked), the data path, then the settings in
    // force again and the main menu's labels.
    void Save();

    // ---- year-end update (年次更新)
    bool Chk年次更新();
    // From the question to the completion; true when the period was closed.
    bool Exec更新();

    // ---- bulk deletes (データ削除), each from its question to its
    // completion; the partner's delete needs a name in txt取引先名 and
    // empties it when done.
    void RunBulkDelete(BulkDelete which);

    // ---- the button strip
    ui::Label Label37{this};
    ui::CommandButton cmdメニュー{QStringLiteral("メイン"), this};
    ui::CommandButton cmd登録{QStringLiteral("登録"), this};
    ui::CommandButton cmdクリア{QStringLiteral("クリア"), this};
    ui::CommandButton cmdHint{QStringLiteral("ヒント"), this};
    ui::CommandButton cmd閉じる{QStringLiteral("閉じる"), this};

    ui::TabControl SSTab1{this};
    QWidget* const Page設定 = SSTab1.AddTab(QStringLiteral("設定"));
    QWidget* const Pageデータ保守 = SSTab1.AddTab(QStringLiteral("データ保守"));
    QWidget* const Pageデータ削除 = SSTab1.AddTab(QStringLiteral("データ削除"));
    QWidget* const Page年次更新 = SSTab1.AddTab(QStringLiteral("年次更新"));

    // ---- 設定
    ui::Label Lblタイトル{QStringLiteral("タイトル"), Page設定};
    ui::TextBox txtタイトル{Page設定};
    ui::Frame Fra期間{Page設定, ui::Panel::Style::Sunken};
    ui::Label Lbl会計期間{QStringLiteral("会計期間"), &Fra期間};
    ui::DateBox txt開始{&Fra期間};
    ui::Label LblKara{QStringLiteral("～"), &Fra期間};
    ui::DateBox txt終了{&Fra期間};
    ui::Label Lbl年号{QStringLiteral("年号"), Page設定};
    ui::ComboBox cmb年号{Page設定, ui::ComboBox::Style::ListOnly};
    ui::Label Lbl税端数{QStringLiteral("税端数"), Page設定};
    ui::ComboBox cmb税端数{Page設定, ui::ComboBox::Style::ListOnly};
    ui::Frame Fra税率{Page設定, ui::Panel::Style::Sunken};
    ui::Label Lbl税率{QStringLiteral("税率"), &Fra税率};
    ui::NumberBox txt税率{&Fra税率};
    ui::Label Lbl税率単位{QStringLiteral("%  <"), &Fra税率};
    ui::Label Lbl実施日付{QStringLiteral("実施日付"), &Fra税率};
    ui::DateBox txt税実施{&Fra税率};
    ui::Label Lbl税率2{QStringLiteral("<=   税率"), &Fra税率};
    ui::NumberBox txt税率2{&Fra税率};
    ui::Label Lbl税率2単位{QStringLiteral("%"), &Fra税率};
    ui::Label LblDataPath{QStringLiteral("データパス"), Page設定};
    ui::TextBox txtDataPath{Page設定};
    ui::CommandButton cmdデータパス参照{QStringLiteral("参照"), Page設定};
    ui::CommandButton cmd勘定科目{QStringLiteral("勘定科目サンプル"), Page設定};
    ui::Label LblTitle{Page設定};
    ui::Label LblUpdate{Page設定};
    ui::Label LblVer{Page設定};
    ui::ImageButton Image1{Page設定};
    ui::ImageButton Image2{Page設定};

    // ---- データ保守 (their procedures come with the backup)
    ui::Label Lblデータ保守注意{
        QStringLiteral("データの保存と読込みをします。読込みを行うと現在使用中のデータは上書きされます。"
                       "注意して使用してください。"),
        Pageデータ保守};
    ui::Frame Fra保存{Pageデータ保守, ui::Panel::Style::Sunken};
    ui::Label Lbl保存{QStringLiteral("保存"), &Fra保存};
    ui::Label LblFD書込{QStringLiteral("フロッピーディスクにデータをコピーする"), &Fra保存};
    ui::CommandButton cmdFD書込{QStringLiteral("実行"), &Fra保存};
    ui::Label LblHD書込{QStringLiteral("ハードディスク、リムーバブルディスクにコピーする"), &Fra保存};
    ui::CommandButton cmdHD書込{QStringLiteral("実行"), &Fra保存};
    ui::Frame Fra読込{Pageデータ保守, ui::Panel::Style::Sunken};
    ui::Label Lbl読込{QStringLiteral("読込む"), &Fra読込};
    ui::Label LblFD読込{QStringLiteral("フロッピーディスクからデータを読み込む"), &Fra読込};
    ui::CommandButton cmdFD読込{QStringLiteral("実行"), &Fra読込};
    ui::Label LblHD読込{QStringLiteral("ハードディスク、リムーバブルディスクから読み込む"), &Fra読込};
    ui::CommandButton cmdHD読込{QStringLiteral("実行"), &Fra読込};
    ui::Label LblFDD{QStringLiteral("フロッピーディスクドライブ"), Pageデータ保守};
    ui::ComboBox cmbFDD{Pageデータ保守, ui::ComboBox::Style::ListOnly};
    ui::Label FddMsg{Pageデータ保守};
    ui::CommandButton CmdHint2{QStringLiteral("ヒント"), Pageデータ保守};

    // ---- データ削除
    ui::Label Lbl一括削除1{QStringLiteral("すべての取引先を削除する"), Pageデータ削除};
    ui::CommandButton cmd一括削除1{QStringLiteral("実行"), Pageデータ削除};
    ui::Label Lbl一括削除2{QStringLiteral("すべて科目情報を削除する"), Pageデータ削除};
    ui::CommandButton cmd一括削除2{QStringLiteral("実行"), Pageデータ削除};
    ui::Label Lbl一括削除3{QStringLiteral("すべての取引データを削除する"), Pageデータ削除};
    ui::CommandButton cmd一括削除3{QStringLiteral("実行"), Pageデータ削除};
    ui::Label Lbl一括削除4{QStringLiteral("すべてのデータを削除し初期状態に戻す"), Pageデータ削除};
    ui::CommandButton cmd一括削除4{QStringLiteral("実行"), Pageデータ削除};
    ui::Frame Fra一括削除5{Pageデータ削除, ui::Panel::Style::Sunken};
    ui::Label Lbl一括削除5{QStringLiteral("指定された取引先のすべての情報を削除する"), &Fra一括削除5};
    ui::Label Lbl取引先名{QStringLiteral("取引先名"), &Fra一括削除5};
    ui::TextBox txt取引先名{&Fra一括削除5};
    ui::CommandButton cmd取引先{QStringLiteral("取引先"), &Fra一括削除5};
    ui::CommandButton cmd一括削除5{QStringLiteral("実行"), &Fra一括削除5};

    // ---- 年次更新
    ui::Frame Fra今期{Page年次更新, ui::Panel::Style::Sunken};
    ui::Label Lbl今期設定{QStringLiteral("今期設定"), &Fra今期};
    ui::Label Lbl今期期間{QStringLiteral("期間"), &Fra今期};
    ui::DateBox dt今期開始{&Fra今期};
    ui::Label lbl今期から{QStringLiteral("～"), &Fra今期};
    ui::DateBox dt今期終了{&Fra今期};
    ui::Label Lbl今期タイトル{QStringLiteral("タイトル"), &Fra今期};
    ui::TextBox txt今期タイトル{&Fra今期};
    ui::Frame Fra次期{Page年次更新, ui::Panel::Style::Sunken};
    ui::Label Lbl次期設定{QStringLiteral("次期設定"), &Fra次期};
    ui::Label Lbl次期期間{QStringLiteral("期間"), &Fra次期};
    ui::DateBox dt次期開始{&Fra次期};
    ui::Label lbl次期から{QStringLiteral("～"), &Fra次期};
    ui::DateBox dt次期終了{&Fra次期};
    ui::Label Lbl次期タイトル{QStringLiteral("タイトル"), &Fra次期};
    ui::TextBox txt次期タイトル{&Fra次期};
    ui::CommandButton cmd更新{QStringLiteral("更新"), Page年次更新};

    // Shown only while the year-end update runs (made last: it comes up
    // over the pages).
    ui::BusyPanel CnMsg{QStringLiteral("年次更新中です････"), this};

protected:
    void OnLoad() override;
    void OnKeyDown(ui::KeyArgs& key) override;

private:
    void LayOut();
    void LayOutSettings();
    void LayOutBackup();
    void LayOutDeletes();
    void LayOutYearEnd();
    void ConnectHandlers();

    void cmdメニュー_Click();
    void cmdクリア_Click();
    void cmd閉じる_Click();
    void cmdデータパス参照_Click();
    void cmd勘定科目_Click();
    void cmd取引先_Click();
    void txt開始_Change();
    void OpenLink(const QString& address);
    // Runs a backup, restore, copy or year-end alone: while it runs the screen
    // takes no other command, and what the user clicked or typed meanwhile is
    // dropped, not run after it.
    void RunAlone(const std::function<void()>& operation);
    bool running_ = false;
    // The progress label of the backup and restore: a caption shows it, an empty one hides it.
    void ShowFddMsg(const QString& caption);

    // The settings in force again after the company row changed: reloaded,
    // the tax rate chosen anew, the main menu's title and period rewritten.
    void ReloadSettings();
    // The year-end page from the company values in force.
    void ShowPeriodsFromSettings(bool rowRead);
    // Every field of the data file's settings from the stored company row
    // (at load, and after another data file took the place of the one in use).
    void ShowSettings();
};

// The deletes' statements, each in the caller's transaction on `data`;
// false at the first that fails.
bool DeleteAll取引先情報(db::Database& data);
bool DeleteAll科目情報(db::Database& data);
bool DeleteAll取引明細(db::Database& data);
bool Delete指定取引先情報(db::Database& data, const QString& partner);
// Everything above, and the company row of a new data file again.
bool DeleteAllData(db::Database& data);
// Puts back the company row of a new data file (era 西暦, 20 lines to a
// list, nothing else).
bool Delete自社情報(db::Database& data);

// Builds the archive of the lines from `from` to `to` at `archivePath`: a
// copy of the template file made under a temporary name in the same folder,
// the masters, the company row and the period's lines inserted in one
// transaction and their numbers checked against the data file, then renamed
// into place (over an older archive of that name). Nothing is left behind
// when it fails; `error` tells why (a file step's text under kind Other).
bool MakeYearEndArchive(const QString& dataPath, const QString& templatePath, const QString& archivePath,
                        const QDate& from, const QDate& to, db::Failure* error);

}  // namespace maintenance

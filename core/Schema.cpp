#include "core/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "platform/db/Database.h"
#include "platform/db/JetSql.h"
#include "platform/db/Quote.h"
#include "platform/db/Transaction.h"

namespace core {

using db::FieldType;

namespace {

constexpr FieldType T = FieldType::Text;
constexpr FieldType M = FieldType::Memo;
constexpr FieldType L = FieldType::Long;
constexpr FieldType S = FieldType::Short;
constexpr FieldType D = FieldType::Date;
constexpr FieldType N = FieldType::Double;
constexpr FieldType C = FieldType::Currency;
constexpr FieldType B = FieldType::YesNo;

TableDef Table(const QString& name, std::vector<FieldDef> fields, std::vector<QStringList> indexes = {}) {
    return TableDef{name, std::move(fields), std::move(indexes)};
}

std::vector<FieldDef> MonthTableFields() {
    std::vector<FieldDef> f = {
        {QStringLiteral("取引先名"), T}, {QStringLiteral("科目"), T}, {QStringLiteral("合計"), N}};
    for (int m = 1; m <= 12; ++m) f.push_back({QStringLiteral("金額%1").arg(m), N});
    f.push_back({QStringLiteral("順位"), L});
    return f;
}

const std::vector<FieldDef> kExpenseListFields = {{QStringLiteral("チェック"), B}, {QStringLiteral("行番号"), L},
                                                  {QStringLiteral("日付"), D},     {QStringLiteral("取引先名"), T},
                                                  {QStringLiteral("金額"), N},     {QStringLiteral("科目"), T},
                                                  {QStringLiteral("摘要"), T},     {QStringLiteral("明細ID"), L}};

const std::vector<FieldDef> kRankingFields = {{QStringLiteral("順位"), L},
                                              {QStringLiteral("科目"), T},
                                              {QStringLiteral("取引先名"), T},
                                              {QStringLiteral("金額"), N}};

struct AccountTitle {
    const char* name;
    const char* reading;
    const char* explanation;
};

// The standard expense titles of a blue-return expense book.
const AccountTitle kAccountTitles[] = {
    {"租税公課", "そぜいこうか", "事業にかかる税金や公的な負担金（印紙税、固定資産税、自動車税など）"},
    {"荷造運賃", "にづくりうんちん", "商品の発送にかかる梱包材料費や運送料"},
    {"水道光熱費", "すいどうこうねつひ", "事業で使う水道・電気・ガスなどの料金"},
    {"旅費交通費", "りょひこうつうひ", "業務のための電車・バス・タクシー代、出張の宿泊費など"},
    {"通信費", "つうしんひ", "電話料金、切手代、インターネット利用料など"},
    {"広告宣伝費", "こうこくせんでんひ", "広告、チラシ、カタログ、看板などの費用"},
    {"接待交際費", "せったいこうさいひ", "取引先との飲食、贈答品、慶弔費など"},
    {"損害保険料", "そんがいほけんりょう", "事業用の建物・設備・車両などの火災保険料や損害保険料"},
    {"修繕費", "しゅうぜんひ", "建物・機械・備品などの修理や維持にかかる費用"},
    {"消耗品費", "しょうもうひんひ", "事務用品や十万円未満の備品などの購入費"},
    {"減価償却費", "げんかしょうきゃくひ", "建物・設備などの取得費を耐用年数にわたって配分した費用"},
    {"福利厚生費", "ふくりこうせいひ", "従業員の慰安、健康診断、慶弔見舞金などの費用"},
    {"給料賃金", "きゅうりょうちんぎん", "従業員に支払う給料・賃金・賞与"},
    {"外注工賃", "がいちゅうこうちん", "仕事の一部を外部に依頼した加工賃や作業料"},
    {"利子割引料", "りしわりびきりょう", "事業用の借入金の利息や手形の割引料"},
    {"地代家賃", "ちだいやちん", "店舗・事務所・駐車場などの地代や家賃"},
    {"貸倒金", "かしだおれきん", "売掛金などが回収できなくなった損失額"},
    {"車両費", "しゃりょうひ", "事業用車両のガソリン代、車検費用、整備費など"},
    {"新聞図書費", "しんぶんとしょひ", "業務のための新聞・雑誌・書籍の購入費"},
    {"会議費", "かいぎひ", "打ち合わせや会議のための会場費・茶菓代など"},
    {"支払手数料", "しはらいてすうりょう", "振込手数料や仲介手数料など"},
    {"研修費", "けんしゅうひ", "業務に必要な技能や知識を得るための研修や講習の費用"},
    {"雑費", "ざっぴ", "他の経費のどれにも当てはまらない少額の費用"},
};

}  // namespace

const std::vector<TableDef>& DataTables() {
    static const std::vector<TableDef> tables = {
        Table(QStringLiteral("取引明細"),
              {{QStringLiteral("行番号"), L},
               {QStringLiteral("日付"), D},
               {QStringLiteral("曜日"), T},
               {QStringLiteral("取引先名"), T},
               {QStringLiteral("科目"), T},
               {QStringLiteral("金額"), N},
               {QStringLiteral("税額"), C},
               {QStringLiteral("非課税"), B}},
              {{QStringLiteral("日付")},
               {QStringLiteral("取引先名"), QStringLiteral("日付"), QStringLiteral("行番号")},
               {QStringLiteral("科目"), QStringLiteral("日付"), QStringLiteral("金額")},
               {QStringLiteral("取引先名"), QStringLiteral("日付"), QStringLiteral("金額")}}),
        Table(QStringLiteral("取引先マスタ"),
              {{QStringLiteral("取引先名"), T}, {QStringLiteral("ふりがな"), T}, {QStringLiteral("クイック読込"), T}},
              {{QStringLiteral("取引先名")}, {QStringLiteral("ふりがな")}}),
        Table(QStringLiteral("取引先科目"),
              {{QStringLiteral("取引先名"), T},
               {QStringLiteral("科目"), T},
               {QStringLiteral("非課税"), B},
               {QStringLiteral("回数"), L},
               {QStringLiteral("ふりがな"), T}},
              {{QStringLiteral("取引先名"), QStringLiteral("科目")}}),
        Table(QStringLiteral("科目マスタ"),
              {{QStringLiteral("科目"), T},
               {QStringLiteral("ふりがな"), T},
               {QStringLiteral("非課税"), B},
               {QStringLiteral("説明"), M}},
              {{QStringLiteral("科目")}, {QStringLiteral("ふりがな")}}),
        Table(QStringLiteral("勘定科目"),
              {{QStringLiteral("科目名"), T}, {QStringLiteral("ふりがな"), T}, {QStringLiteral("説明"), M}},
              {{QStringLiteral("科目名")}}),
        Table(QStringLiteral("自社情報"), {{QStringLiteral("年号"), T},
                                           {QStringLiteral("開始日"), D},
                                           {QStringLiteral("終了日"), D},
                                           {QStringLiteral("タイトル"), T},
                                           {QStringLiteral("税区分"), T},
                                           {QStringLiteral("税端数"), T},
                                           {QStringLiteral("税率"), N},
                                           {QStringLiteral("税率2"), N},
                                           {QStringLiteral("税実施"), D},
                                           {QStringLiteral("明細リスト読込数"), L}}),
        Table(QStringLiteral("MvHint"),
              {{QStringLiteral("FormName"), T},
               {QStringLiteral("CtlName"), T},
               {QStringLiteral("FormTitle"), T},
               {QStringLiteral("Contents"), M}},
              {{QStringLiteral("FormName"), QStringLiteral("CtlName")}}),
        Table(QStringLiteral("コードマスタ"), {{QStringLiteral("コード"), T}, {QStringLiteral("名称"), T}}),
    };
    return tables;
}

const std::vector<TableDef>& WorkTables() {
    static const std::vector<TableDef> tables = {
        Table(QStringLiteral("管理"), {{QStringLiteral("DataPath"), T}}),
        Table(QStringLiteral("w取引明細"), {{QStringLiteral("lno"), L},
                                            {QStringLiteral("チェック"), B},
                                            {QStringLiteral("行番号"), L},
                                            {QStringLiteral("日付"), D},
                                            {QStringLiteral("月"), S},
                                            {QStringLiteral("日"), S},
                                            {QStringLiteral("月日"), T},
                                            {QStringLiteral("曜日"), T},
                                            {QStringLiteral("DD日付"), D},
                                            {QStringLiteral("取引先名"), T},
                                            {QStringLiteral("科目"), T},
                                            {QStringLiteral("金額"), N},
                                            {QStringLiteral("税額"), N},
                                            {QStringLiteral("非課税"), B},
                                            {QStringLiteral("摘要"), T}}),
        Table(QStringLiteral("w取引先参照"), {{QStringLiteral("取引先名"), T}, {QStringLiteral("ふりがな"), T}}),
        Table(QStringLiteral("w科目参照"), {{QStringLiteral("科目"), T}, {QStringLiteral("ふりがな"), T}}),
        Table(QStringLiteral("w取引先マスタ"), {{QStringLiteral("取引先名"), T},
                                                {QStringLiteral("ふりがな"), T},
                                                {QStringLiteral("チェック"), B},
                                                {QStringLiteral("クイック読込"), T}}),
        Table(QStringLiteral("w取引先科目"), {{QStringLiteral("科目"), T},
                                              {QStringLiteral("ふりがな"), T},
                                              {QStringLiteral("回数"), L},
                                              {QStringLiteral("非課税"), B},
                                              {QStringLiteral("チェック"), B}}),
        Table(QStringLiteral("w取引先マスタ印刷"), {{QStringLiteral("取引先名"), T},
                                                    {QStringLiteral("ふりがな"), T},
                                                    {QStringLiteral("科目"), T},
                                                    {QStringLiteral("科目ふりがな"), T},
                                                    {QStringLiteral("非課税"), B}}),
        Table(QStringLiteral("w科目マスタ"), {{QStringLiteral("チェック"), B},
                                              {QStringLiteral("科目"), T},
                                              {QStringLiteral("ふりがな"), T},
                                              {QStringLiteral("非課税"), B},
                                              {QStringLiteral("説明"), M}}),
        Table(QStringLiteral("w科目マスタ印刷"),
              {{QStringLiteral("科目"), T}, {QStringLiteral("ふりがな"), T}, {QStringLiteral("非課税"), B}}),
        Table(QStringLiteral("w勘定科目"), {{QStringLiteral("科目名"), T},
                                            {QStringLiteral("ふりがな"), T},
                                            {QStringLiteral("説明"), M},
                                            {QStringLiteral("チェック"), B}}),
        Table(QStringLiteral("w経費一覧"), kExpenseListFields),
        Table(QStringLiteral("w経費一覧印刷"), kExpenseListFields),
        Table(QStringLiteral("w経費順位"), kRankingFields),
        Table(QStringLiteral("w経費順位ソート"), kRankingFields),
        Table(QStringLiteral("w月別経費"), MonthTableFields()),
        Table(QStringLiteral("w月別経費ソート"), MonthTableFields()),
    };
    return tables;
}

namespace {

QString ColumnDefinition(const FieldDef& f) {
    // Text is stored with SQLite's own order, so that any SQLite tool can
    // read the file; statements that sort add the Japanese order.
    QString col = db::QuoteIdent(f.name) + u' ' + db::DeclaredTypeName(f.type);
    // Null becomes False; any other non-zero becomes True (-1).
    if (f.type == FieldType::YesNo) col += QStringLiteral(" NOT NULL ON CONFLICT REPLACE DEFAULT 0");
    return col;
}

}  // namespace

bool AddMissingWorkFields(db::Database& work, const QString& table) {
    for (const TableDef& def : WorkTables()) {
        if (def.name != table) continue;
        const auto have = work.TableFields(table);
        if (have.empty()) return false;
        for (const FieldDef& f : def.fields) {
            const bool present =
                std::any_of(have.begin(), have.end(), [&](const auto& field) { return field.first == f.name; });
            if (!present && f.type != FieldType::YesNo &&
                !work.ExecuteNative(
                    QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(db::QuoteIdent(table), ColumnDefinition(f))))
                return false;
        }
        return true;
    }
    return false;
}

QString TableStatements(const TableDef& table) {
    using db::QuoteIdent;
    const QString name = QuoteIdent(table.name);
    QStringList columns;
    QString triggers;
    for (const auto& f : table.fields) {
        const QString col = ColumnDefinition(f);
        if (f.type == FieldType::YesNo) {
            const QString field = QuoteIdent(f.name);
            const QString fix = QStringLiteral(
                                    " WHEN new.%1 NOT IN (0,-1) BEGIN UPDATE %2 SET %1 = "
                                    "CASE WHEN %1 = 0 THEN 0 ELSE -1 END WHERE rowid = new.rowid; END;\n")
                                    .arg(field, name);
            const QString base = QStringLiteral("yesno_%1_%2_").arg(table.name, f.name);
            triggers += QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2").arg(QuoteIdent(base + u'i'), name) + fix;
            triggers +=
                QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %2 ON %3").arg(QuoteIdent(base + u'u'), field, name) +
                fix;
        }
        columns << col;
    }
    QString sql = QStringLiteral("CREATE TABLE %1 (%2);\n").arg(name, columns.join(QStringLiteral(", ")));
    int n = 0;
    for (const auto& index : table.indexes) {
        QStringList cols;
        for (const auto& c : index) cols << QuoteIdent(c);
        sql += QStringLiteral("CREATE INDEX %1 ON %2 (%3);\n")
                   .arg(QuoteIdent(QStringLiteral("ix_%1_%2").arg(table.name).arg(++n)), name, cols.join(u','));
    }
    return sql + triggers;
}

QString SchemaStatements(DataFileKind kind) {
    QString sql;
    for (const auto& t : kind == DataFileKind::Work ? WorkTables() : DataTables()) sql += TableStatements(t);
    return sql;
}

bool CreateDatabaseFile(const QString& path, DataFileKind kind, QString* error) {
    db::Database d;
    if (!d.Create(path)) {
        *error = d.LastError();
        return false;
    }
    bool ok = false;
    {
        db::Transaction transaction(d);
        ok = transaction.Began();
        ok = ok && d.ExecuteNative(SchemaStatements(kind));
        if (kind == DataFileKind::Data) {
            ok = ok && d.Execute(QStringLiteral("insert into 自社情報 (年号, 明細リスト読込数) values ('西暦', 20)"));
            for (const auto& a : kAccountTitles) {
                ok = ok &&
                     d.Execute(QStringLiteral("insert into 勘定科目 (科目名, ふりがな, 説明) values ('%1', '%2', '%3')")
                                   .arg(db::SqlEscape(QString::fromUtf8(a.name)),
                                        db::SqlEscape(QString::fromUtf8(a.reading)),
                                        db::SqlEscape(QString::fromUtf8(a.explanation))));
            }
        }
        if (kind == DataFileKind::Work)
            ok = ok && d.Execute(QStringLiteral("insert into 管理 (DataPath) values (null)"));
        ok = ok && transaction.Commit();
    }
    if (!ok) {
        *error = QStringLiteral("%1: %2").arg(path, d.LastError());
        d.Close();
        QFile::remove(path);
        return false;
    }
    d.Close();
    return true;
}

bool MakeDataFolder(const QString& folder, QStringList* created, QString* error) {
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("%1: the folder cannot be made").arg(folder);
        return false;
    }
    const QDir dir(folder);
    const std::pair<QString, DataFileKind> files[] = {{kDataFileName, DataFileKind::Data},
                                                      {kWorkFileName, DataFileKind::Work},
                                                      {kTemplateFileName, DataFileKind::Template}};
    for (const auto& [name, kind] : files) {
        const QString path = dir.filePath(name);
        if (QFileInfo::exists(path)) continue;
        if (!CreateDatabaseFile(path, kind, error)) return false;
        if (created) created->append(path);
    }
    return true;
}

}  // namespace core

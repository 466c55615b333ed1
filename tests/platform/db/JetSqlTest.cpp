// Translation of the screens' statements into SQLite statements.
#include <gtest/gtest.h>

#include "platform/db/JetSql.h"
#include "platform/db/Quote.h"
#include "tests/QtPrint.h"

namespace {

class FakeContext : public db::SqlContext {
public:
    QStringList attachedPaths;
    QStringList selects;
    QStringList columns = {QStringLiteral("科目"), QStringLiteral("ふりがな")};

    bool ExternalAlias(const QString& path, QString* alias, QString*) override {
        attachedPaths << path;
        *alias = QStringLiteral("ext1");
        return true;
    }
    bool SelectColumnNames(const QString& select, QStringList* names, QString*) override {
        selects << select;
        *names = columns;
        return true;
    }
};

QString Translate(const QString& jet, FakeContext* ctx = nullptr) {
    FakeContext local;
    db::Translation t;
    QString error;
    EXPECT_TRUE(db::TranslateJet(jet, ctx ? *ctx : local, &t, &error)) << error.toStdString();
    return t.sql;
}

struct Case {
    const char* jet;
    const char* sqlite;
};

class TranslationCases : public ::testing::TestWithParam<Case> {};

TEST_P(TranslationCases, StatementOfTheScreensBecomesSqlite) {
    EXPECT_EQ(Translate(QString::fromUtf8(GetParam().jet)), QString::fromUtf8(GetParam().sqlite));
}

INSTANTIATE_TEST_SUITE_P(
    Statements, TranslationCases,
    ::testing::Values(
        Case{"delete * from w取引明細", "delete from w取引明細"},
        Case{"DELETE  *  FROM w科目参照;", "DELETE FROM w科目参照"},
        Case{"delete * from 取引明細 where 日付 >= #2005/04/01# and 日付 <= #2006/3/31#",
             "delete from 取引明細 where 日付 >= '2005-04-01' and 日付 <= '2006-03-31'"},
        Case{"delete * from w取引明細 where チェック = True", "delete from w取引明細 where チェック = -1"},
        Case{"update w取引明細 set 非課税 = False", "update w取引明細 set 非課税 = 0"},
        Case{"select count([金額]) as total from w取引明細 where not isnull([日付])",
             "select count(\"金額\") as total from w取引明細 where not ((\"日付\") IS NULL)"},
        Case{"select * from w取引先科目 where not isnull(科目)",
             "select * from w取引先科目 where not ((科目) IS NULL)"},
        Case{"select 科目,ふりがな from 科目マスタ where (ふりがな like 'あ*' or ふりがな like 'ア*')",
             "select 科目,ふりがな from 科目マスタ where (ふりがな like 'あ%' or ふりがな like 'ア%')"},
        Case{"select * from T where a like 'x?y'", "select * from T where a like 'x_y'"},
        Case{"select * from T where a like '100%*'", "select * from T where a like '100\\%%' ESCAPE '\\'"},
        Case{"select * from T where a like 'a[*]b*'", "select * from T where a like 'a*b%'"},
        Case{"select * from T where a = 'it''s [x] #1# true'", "select * from T where a = 'it''s [x] #1# true'"},
        Case{"select a & b from T", "select a || b from T"},
        Case{"select * from w月別経費ソート order by 合計 DESC;", "select * from w月別経費ソート order by 合計 DESC"}));

TEST(Translation, ExternalDatabaseClauseQualifiesTheTableAndAttachesTheFileOnce) {
    FakeContext ctx;
    const QString sql = Translate(
        QStringLiteral("insert into w科目参照 select 科目,ふりがな from 科目マスタ in '/d/O''Hara/MurvData2K.mdb' "
                       "order by ふりがな;"),
        &ctx);
    EXPECT_EQ(sql, QStringLiteral("insert into w科目参照 (\"科目\",\"ふりがな\") select 科目,ふりがな from "
                                  "ext1.\"科目マスタ\" order by ふりがな"));
    EXPECT_EQ(ctx.attachedPaths, QStringList{QStringLiteral("/d/O'Hara/MurvData2K.mdb")});
    // The column names were asked of the translated select, not of the Jet text.
    ASSERT_EQ(ctx.selects.size(), 1);
    EXPECT_EQ(ctx.selects[0], QStringLiteral("select 科目,ふりがな from ext1.\"科目マスタ\" order by ふりがな"));
}

TEST(Translation, InsertWithColumnListOrValuesIsLeftAlone) {
    FakeContext ctx;
    EXPECT_EQ(Translate(QStringLiteral("insert into T (a,b) select a,b from U"), &ctx),
              QStringLiteral("insert into T (a,b) select a,b from U"));
    EXPECT_EQ(Translate(QStringLiteral("insert into T values (1, True)"), &ctx),
              QStringLiteral("insert into T values (1, -1)"));
    EXPECT_TRUE(ctx.selects.isEmpty());
}

TEST(Translation, InOperatorWithAListIsNotAnExternalDatabase) {
    FakeContext ctx;
    EXPECT_EQ(Translate(QStringLiteral("select * from T where a in ('x','y')"), &ctx),
              QStringLiteral("select * from T where a in ('x','y')"));
    EXPECT_TRUE(ctx.attachedPaths.isEmpty());
}

TEST(Translation, QuotedNamesStayOneLiteral) {
    for (const QString& name : {QStringLiteral("O'Hara商会"), QStringLiteral("x' or '1'='1")}) {
        const QString jet =
            QStringLiteral("select * from 取引先マスタ where 取引先名 = '") + db::SqlEscape(name) + u'\'';
        std::vector<db::Token> tokens;
        QString error;
        ASSERT_TRUE(db::Tokenize(jet, &tokens, &error));
        ASSERT_EQ(tokens.back().kind, db::Token::String);
        EXPECT_EQ(tokens.back().text, name);
    }
}

TEST(Translation, LikeEscapeMakesPatternCharactersLiteral) {
    const QString jet = QStringLiteral("select * from T where a like '") +
                        db::SqlLikeEscape(QStringLiteral("50%_off*?'s")) + QStringLiteral("*'");
    EXPECT_EQ(Translate(jet), QStringLiteral("select * from T where a like '50\\%\\_off*?''s%' ESCAPE '\\'"));
}

TEST(Translation, SingleTableSelectsAreMarkedUpdatable) {
    FakeContext ctx;
    db::Translation t;
    QString error;
    ASSERT_TRUE(db::TranslateJet(QStringLiteral("select * from MvHint where FormName = 'a'"), ctx, &t, &error));
    EXPECT_EQ(t.singleTable, QStringLiteral("MvHint"));
    EXPECT_EQ(t.sql.left(t.selectListOffset), QStringLiteral("select"));

    for (const char* notSimple : {"select distinct 科目 from 取引明細", "select 科目, sum(金額) from T group by 科目",
                                  "select * from A, B", "select * from A join B on A.x = B.x"}) {
        ASSERT_TRUE(db::TranslateJet(QString::fromUtf8(notSimple), ctx, &t, &error));
        EXPECT_TRUE(t.singleTable.isEmpty()) << notSimple;
    }
}

TEST(Translation, MalformedStatementsFail) {
    FakeContext ctx;
    db::Translation t;
    QString error;
    EXPECT_FALSE(db::TranslateJet(QStringLiteral("select * from T where a = 'open"), ctx, &t, &error));
    EXPECT_FALSE(db::TranslateJet(QStringLiteral("select * from T where d = #2005/02/30#"), ctx, &t, &error));
    EXPECT_FALSE(db::TranslateJet(QStringLiteral("select * from T where not isnull(a"), ctx, &t, &error));
    EXPECT_FALSE(db::TranslateJet(QStringLiteral("select * from T where a like '[a-z]*'"), ctx, &t, &error));
}

}  // namespace

namespace {

class TextColumns : public FakeContext {
public:
    bool IsTextColumn(const QString& alias, const QString& table, const QString& column) override {
        seen << alias + u'.' + table;
        return column != u"金額" && column != u"回数";
    }
    QStringList seen;
};

TEST(Translation, SortsOnTextColumnsFollowTheJapaneseOrder) {
    TextColumns ctx;
    EXPECT_EQ(Translate(QStringLiteral("select * from 取引先マスタ order by ふりがな,取引先名;"), &ctx),
              QStringLiteral("select * from 取引先マスタ order by ふりがな COLLATE JA,取引先名 COLLATE JA"));
    EXPECT_EQ(Translate(QStringLiteral("select * from 取引先科目 where 取引先名 = 'a' order by 回数 DESC;"), &ctx),
              QStringLiteral("select * from 取引先科目 where 取引先名 = 'a' order by 回数 DESC"));
    EXPECT_EQ(
        Translate(QStringLiteral("insert into w科目参照 select 科目,ふりがな from 科目マスタ in 'x.mdb' "
                                 "order by [ふりがな] desc, 金額"),
                  &ctx),
        QStringLiteral("insert into w科目参照 (\"科目\",\"ふりがな\") select 科目,ふりがな from ext1.\"科目マスタ\" "
                       "order by \"ふりがな\" COLLATE JA desc, 金額"));
    EXPECT_TRUE(ctx.seen.contains(QStringLiteral("ext1.科目マスタ")));
}

TEST(Translation, WhereLiteralsBecomeParametersOfOneShape) {
    db::ParameterizedJet a, b;
    QString error;
    ASSERT_TRUE(db::ParameterizeJet(QStringLiteral("select * from 取引明細 where rowid = 12 and 日付 >= #2026/1/2#"),
                                    &a, &error));
    ASSERT_TRUE(db::ParameterizeJet(QStringLiteral("select * from 取引明細 where rowid = 7 and 日付 >= #2026/3/4#"), &b,
                                    &error));
    EXPECT_EQ(a.key, b.key);
    EXPECT_EQ(a.values, (std::vector<QVariant>{qint64(12), QStringLiteral("2026-01-02")}));
    // A like pattern and the path of another file stay in the shape.
    ASSERT_TRUE(
        db::ParameterizeJet(QStringLiteral("select * from T in 'a.mdb' where x like 'a*' order by 1"), &a, &error));
    ASSERT_TRUE(
        db::ParameterizeJet(QStringLiteral("select * from T in 'b.mdb' where x like 'b*' order by 1"), &b, &error));
    EXPECT_NE(a.key, b.key);
    EXPECT_TRUE(a.values.empty());
}

}  // namespace

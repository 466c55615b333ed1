#pragma once
// What the lookup tests share: a fresh data folder with items and partners
// (readings in all three kana scripts, one without a reading), a temporary
// class registry, and a driver for modal windows.

#include <QAbstractItemView>
#include <QPushButton>

#include "tests/support/Drivers.h"
#include "tests/support/ScreenFixture.h"

namespace test {

class LookupTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        qputenv("MURV_COM_REGISTRY", QFile::encodeName(registry_.filePath(QStringLiteral("classes.reg"))));
        for (const char* row :
             {"科目マスタ (科目, ふりがな) values ('会議費', 'かいぎひ')",
              "科目マスタ (科目, ふりがな) values ('カード手数料', 'カードてすうりょう')",
              "科目マスタ (科目, ふりがな) values ('ｶﾞｿﾘﾝ代', 'ｶﾞｿﾘﾝだい')",
              "科目マスタ (科目, ふりがな) values ('交通費', 'こうつうひ')",
              "科目マスタ (科目, ふりがな) values ('雑費', 'ざっぴ')", "科目マスタ (科目) values ('未分類')",
              "取引先マスタ (取引先名, ふりがな) values ('青葉商店', 'あおばしょうてん')",
              "取引先マスタ (取引先名, ふりがな) values ('アサヒ運輸', 'アサヒうんゆ')",
              "取引先マスタ (取引先名, ふりがな) values ('角田工務店', 'かくたこうむてん')"})
            ExecData(QStringLiteral("insert into ") + QString::fromUtf8(row));
        ModMurv::DataFilePath = DataFile();
        ModMurv::WorkFilePath = WorkFile();
    }
    void TearDown() override {
        qunsetenv("MURV_COM_REGISTRY");
        ScreenTest::TearDown();
    }
    QTemporaryDir registry_;
};

// The lookup window may live in a library of its own: the tests reach it
// through its Qt widgets, by name (tests/support/Drivers.h).
inline void Click(QWidget* window, const QString& name) { ClickNamed(window, name); }
inline void ClickIndex(QWidget* window, int index) { Click(window, QStringLiteral("cmd50(%1)").arg(index)); }
inline QAbstractItemView* ListView(QWidget* window) {
    return window->findChild<QWidget*>(QStringLiteral("Grid参照"))->findChild<QAbstractItemView*>();
}
// The rows shown, as "name/reading".
inline QStringList ShownRows(QWidget* window) {
    const QAbstractItemModel* m = ListView(window)->model();
    QStringList rows;
    for (int r = 0; r < m->rowCount(); ++r)
        rows << m->index(r, 0).data().toString() + u'/' + m->index(r, 1).data().toString();
    return rows;
}
inline void DoubleClickRow(QWidget* window, const QString& row) {
    QAbstractItemView* view = ListView(window);
    const int r = int(ShownRows(window).indexOf(row));
    ASSERT_GE(r, 0) << row.toStdString();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                       view->visualRect(view->model()->index(r, 0)).center());
}

}  // namespace test

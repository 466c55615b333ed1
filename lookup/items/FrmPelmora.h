#pragma once
// The item lookup window "科目参照": 科目マスタ through w科目参照.

#include "lookup/LookupWindow.h"

class FrmPelmora : public lookup::LookupWindow {
    Q_OBJECT

public:
    static inline const QString kFormName = QStringLiteral("FrmPelmora");

    FrmPelmora();

    void Clear科目参照() { ClearList(); }
    void Read科目() { ReadList(); }
};

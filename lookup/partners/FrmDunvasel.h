#pragma once
// The partner lookup window "取引先参照": 取引先マスタ through w取引先参照.

#include "lookup/LookupWindow.h"

class FrmDunvasel : public lookup::LookupWindow {
    Q_OBJECT

public:
    static inline const QString kFormName = QStringLiteral("FrmDunvasel");

    FrmDunvasel();

    void Clear取引先参照() { ClearList(); }
    void Read取引先() { ReadList(); }
};

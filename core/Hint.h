#pragma once
// The hint editor: a small modeless window that shows and edits the free
// text stored for one screen and one of its hint buttons (table MvHint).
// The screen sets ModMurv's hint context and calls ShowHint; once loaded, the
// window works on the key shown in its labels, and later hint buttons only
// bring it forward.

#include "platform/ui/Buttons.h"
#include "platform/ui/Form.h"
#include "platform/ui/TextControls.h"

namespace core {

class Hint : public ui::Form {
    Q_OBJECT

public:
    Hint();

    ui::Label lblFormName{this};
    ui::Label lblCtlName{this};
    ui::Label lblFormTitle{this};
    ui::TextBox txtContents{this, ui::TextBox::Lines::Multi};
    ui::CommandButton cmd登録{QStringLiteral("登録"), this};
    ui::CommandButton cmd削除{QStringLiteral("削除"), this};
    ui::CommandButton cmdクリア{QStringLiteral("クリア"), this};
    ui::CommandButton cmd編集{QStringLiteral("編集"), this};
    ui::CommandButton cmd閉じる{QStringLiteral("閉じる"), this};

    // Back colours of 編集 (0x00BBGGRR): locked and editing.
    static constexpr quint32 kLockedColour = 0xCDD1D1;
    static constexpr quint32 kEditingColour = 0x8080FF;

    void ReadHint();
    // Replace the stored row of the key; false when it could not be stored.
    bool EntryHint();
    // Delete the stored row of the key; false when it could not be deleted.
    bool Deleteヒント();

protected:
    void OnLoad() override;

private:
    QString KeyCondition() const;
    void cmd登録_Click();
    void cmd削除_Click();
    void cmd編集_Click();
};

// Shows the hint window modeless, loading it when it is not loaded.
void ShowHint();

}  // namespace core

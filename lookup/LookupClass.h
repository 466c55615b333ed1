#pragma once
// The body of a lookup class, shared by both libraries: the property values
// of one instance, FormShow over the library's window and SetRetVal over the
// library's selection. A library derives its class from it and adds the
// accessors of its name property.

#include <QVariant>

#include "lookup/LookupWindow.h"
#include "platform/ui/Form.h"

namespace lookup {

// Interface: IClsPelmora or IClsDunvasel. Window: the library's window, made
// by Forms::Get under Window::kFormName with the library's state.
template <class Interface, class Window>
class LookupClass : public Interface {
public:
    explicit LookupClass(LookupState& state) : state_(state) {}

    QVariant pcふりがな() const override { return reading_; }
    void pcふりがな(const QVariant& value) override { reading_ = value; }
    QVariant pcDataFile() const override { return dataFile_; }
    void pcDataFile(const QVariant& value) override { dataFile_ = value; }
    QVariant pcWorkFile() const override { return workFile_; }
    void pcWorkFile(const QVariant& value) override { workFile_ = value; }

    void FormShow() override {
        state_.DataFile = dataFile_;
        state_.WorkFile = workFile_;
        // Every showing starts without a pick, so that one closed without a
        // pick hands back nothing rather than an earlier showing's pick.
        state_.SelectedName = QVariant();
        state_.SelectedReading = QVariant();
        ui::Forms::Get<Window>(Window::kFormName).ShowModal();
    }

    QVariant SetRetVal() override {
        name_ = state_.SelectedName;
        reading_ = state_.SelectedReading;
        return QVariant();
    }

protected:
    QVariant name_;

private:
    LookupState& state_;
    QVariant reading_;
    QVariant dataFile_;
    QVariant workFile_;
};

}  // namespace lookup

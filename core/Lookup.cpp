#include "core/Lookup.h"

#include "core/Failure.h"
#include "core/ModMurv.h"
#include "lookup/LookupClasses.h"

namespace core {

namespace {

template <class Cls, class NameOf>
bool RunLookup(const char* clsid, const QString& what, NameOf nameOf, const LookupTarget& target) {
    QString error;
    com::Ptr<Cls> cls = com::CreateObjectAs<Cls>(QString::fromLatin1(clsid), &error);
    if (!cls) {
        ShowFailure(QStringLiteral("%1を開けません。").arg(what), error);
        return false;
    }
    cls->pcDataFile(ModMurv::DataFilePath);
    cls->pcWorkFile(ModMurv::WorkFilePath);
    cls->FormShow();
    cls->SetRetVal();
    bool written = false;
    if (nameOf(*cls).toString() != QString()) {
        if (target) target(nameOf(*cls).toString(), cls->pcふりがな().toString());
        written = true;
    }
    cls.reset();
    return written;
}

}  // namespace

bool LookupItem(const LookupTarget& target) {
    return RunLookup<lookup::IClsPelmora>(
        lookup::kClsidClsPelmora, QStringLiteral("科目参照 (ClsPelmora, ライブラリ PrjPelmora) "),
        [](const lookup::IClsPelmora& c) { return c.pc科目名(); }, target);
}

bool LookupPartner(const LookupTarget& target) {
    return RunLookup<lookup::IClsDunvasel>(
        lookup::kClsidClsDunvasel, QStringLiteral("取引先参照 (ClsDunvasel, ライブラリ PrjDunvasel) "),
        [](const lookup::IClsDunvasel& c) { return c.pc取引先名(); }, target);
}

}  // namespace core

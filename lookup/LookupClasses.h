#pragma once
// The two lookup classes as every caller sees them: the item lookup
// ClsPelmora (library PrjPelmora) and the partner lookup ClsDunvasel (library
// PrjDunvasel). The program never links those libraries; it creates the
// classes by these identifiers (com::CreateObjectAs), and the libraries
// register themselves under the same identifiers.
//
// The members, in the order of each class's interface: the chosen name, its
// reading, the two database paths, then FormShow and SetRetVal. Every value
// is a variant holding text; the properties store and return what they are
// given, unchecked. A caller's call order (core::LookupItem and
// core::LookupPartner run it for the screens):
//
//   auto cls = com::CreateObjectAs<lookup::IClsPelmora>(QString::fromLatin1(lookup::kClsidClsPelmora), &error);
//   cls->pcDataFile(ModMurv::DataFilePath);
//   cls->pcWorkFile(ModMurv::WorkFilePath);
//   cls->FormShow();                 // modal: returns when the window has closed
//   cls->SetRetVal();                // publishes the pick into the two out properties
//   if (cls->pc科目名().toString() != "") ...   // empty: nothing was picked
//   cls.reset();                     // released; the library stays loaded

#include <QVariant>

#include "platform/com/Com.h"

namespace lookup {

inline constexpr const char* kClsidClsPelmora = "{A3F7D27A-4694-4D44-8E0E-56C403629E3D}";
inline constexpr const char* kClsidClsDunvasel = "{FB9F04CE-A333-4140-B42B-9A76ADE609A4}";

// The item lookup: lists 科目マスタ and hands back an item name.
class IClsPelmora : public com::Object {
public:
    // out: the item name picked in the showing that has just ended; empty
    // when the window was closed without a pick.
    virtual QVariant pc科目名() const = 0;
    virtual void pc科目名(const QVariant& value) = 0;
    // out: the picked row's reading.
    virtual QVariant pcふりがな() const = 0;
    virtual void pcふりがな(const QVariant& value) = 0;
    // in: the data database's path.
    virtual QVariant pcDataFile() const = 0;
    virtual void pcDataFile(const QVariant& value) = 0;
    // in: the work database's path.
    virtual QVariant pcWorkFile() const = 0;
    virtual void pcWorkFile(const QVariant& value) = 0;
    // Shows the lookup window modal and returns when it has closed.
    virtual void FormShow() = 0;
    // Copies the library's selection into the two out properties; the result
    // is always empty.
    virtual QVariant SetRetVal() = 0;
};

// The partner lookup: lists 取引先マスタ and hands back a partner name.
class IClsDunvasel : public com::Object {
public:
    virtual QVariant pc取引先名() const = 0;
    virtual void pc取引先名(const QVariant& value) = 0;
    virtual QVariant pcふりがな() const = 0;
    virtual void pcふりがな(const QVariant& value) = 0;
    virtual QVariant pcDataFile() const = 0;
    virtual void pcDataFile(const QVariant& value) = 0;
    virtual QVariant pcWorkFile() const = 0;
    virtual void pcWorkFile(const QVariant& value) = 0;
    virtual void FormShow() = 0;
    virtual QVariant SetRetVal() = 0;
};

}  // namespace lookup

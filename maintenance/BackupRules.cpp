#include "maintenance/BackupRules.h"

#include <QRegularExpression>

namespace maintenance {

int DiskCount(qint64 archiveSize) {
    if (archiveSize <= 0) return 1;
    return static_cast<int>(archiveSize / kFddChunkSize + (archiveSize % kFddChunkSize ? 1 : 0));
}

QString PieceName(int disk) { return core::kSetPiecePrefix + QStringLiteral("%1").arg(disk, 3, 10, QLatin1Char('0')); }

PieceSpan PieceOf(int disk, int disks, qint64 archiveSize) {
    const qint64 offset = std::min(archiveSize, (disk - 1) * kPieceSize);
    const qint64 rest = archiveSize - offset;
    return {offset, disk < disks ? std::min(rest, kPieceSize) : rest};
}

QByteArray ControlFileText(int disks) { return QByteArray("MurvFddNum= ") + QByteArray::number(disks); }

std::optional<int> DiskCountFromControl(const QByteArray& control) {
    const QByteArray text = control.left(100);
    if (text.size() <= 12) return std::nullopt;
    const QByteArray number = text.mid(12).trimmed();
    if (number.isEmpty()) return std::nullopt;
    for (char c : number)
        if (c < '0' || c > '9') return std::nullopt;
    bool ok = false;
    const int n = number.toInt(&ok);
    if (!ok || n <= 0 || n > 999) return std::nullopt;  // piece names have three digits
    return n;
}

bool IsSetFile(const QString& fileName) {
    static const QRegularExpression piece(QStringLiteral("^murv_d[0-9]{3}$"),
                                          QRegularExpression::CaseInsensitiveOption);
    return fileName.compare(kArchiveName, Qt::CaseInsensitive) == 0 ||
           fileName.compare(kControlName, Qt::CaseInsensitive) == 0 || piece.match(fileName).hasMatch();
}

QString SetDiskPrompt(int disk, int disks) {
    return QStringLiteral("%1/ %2枚目のフロッピーディスクをセットしてください。").arg(disk).arg(disks);
}

QString SavingCaption(int disk, int disks) {
    return QStringLiteral("%1/ %2 枚目のフロッピーディスクに保存中です･･･").arg(disk).arg(disks);
}

QString ReadingCaption(int disk, int disks) {
    return QStringLiteral("%1/ %2 枚目のフロッピーディスクを読込中です･･･").arg(disk).arg(disks);
}

}  // namespace maintenance

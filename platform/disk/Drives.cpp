#include "platform/disk/Drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTextStream>

namespace disk {

namespace {

DriveProbe& SystemProbe() {
    static DriveProbe probe;
    return probe;
}

DriveProbe* g_probe = nullptr;
QStringList g_protected;

QString Canonical(const QString& path) {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : c;
}

bool Inside(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

bool SysRemovable(const QString& device) {
    // A partition (sdb1) reports through its disk (sdb).
    QString disk = device;
    for (int i = 0; i < 2; ++i) {
        QFile f(QStringLiteral("/sys/class/block/%1/removable").arg(disk));
        if (f.open(QIODevice::ReadOnly)) return f.readAll().trimmed() == "1";
        QFileInfo partition(QStringLiteral("/sys/class/block/%1/partition").arg(disk));
        if (!partition.exists()) break;
        disk =
            QFileInfo(QFileInfo(QStringLiteral("/sys/class/block/%1").arg(disk)).canonicalFilePath()).dir().dirName();
    }
    return false;
}

// Mount points in /proc/self/mounts escape blanks and a few other characters as octal.
QString Unescape(const QString& field) {
    QString out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == u'\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += QChar(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

}  // namespace

QStringList DriveProbe::RemovableMedia() {
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly)) return {};
    return RemovableMountPoints(QString::fromLocal8Bit(mounts.readAll()), &SysRemovable);
}

bool DriveProbe::DiskPresent(const QString& drive) {
    if (drive.isEmpty()) return false;
    const QFileInfo info(drive);
    return info.isDir() && info.isReadable() && QDir(drive).isReadable() && !IsProtectedFolder(drive);
}

bool DriveProbe::DiskWritable(const QString& drive) {
    if (!DiskPresent(drive)) return false;
    // An empty file needs no room: a full disk is writable, and its free space is checked where it is written.
    QTemporaryFile probe(QDir(drive).filePath(QStringLiteral(".murv-write-test-XXXXXX")));
    if (!probe.open()) return false;
    probe.close();
    return probe.remove();
}

DriveProbe& CurrentDriveProbe() { return g_probe ? *g_probe : SystemProbe(); }

DriveProbe* SetDriveProbe(DriveProbe* probe) {
    DriveProbe* previous = &CurrentDriveProbe();
    g_probe = probe == &SystemProbe() ? nullptr : probe;
    return previous;
}

void SetProtectedFolders(const QStringList& folders) {
    g_protected.clear();
    for (const QString& f : folders)
        if (!f.isEmpty()) g_protected << Canonical(f);
}

bool IsProtectedFolder(const QString& drive) {
    const QString path = Canonical(drive);
    for (const QString& folder : std::as_const(g_protected))
        if (Inside(path, folder)) return true;
    return false;
}

QStringList RemovableMountPoints(const QString& mountsTable, bool (*removable)(const QString& device)) {
    QStringList points;
    for (const QString& line : mountsTable.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        if (fields.size() < 2) continue;
        const QString device = fields[0];
        const QString point = Unescape(fields[1]);
        const bool media =
            point.startsWith(QStringLiteral("/media/")) || point.startsWith(QStringLiteral("/run/media/"));
        const bool removableDevice =
            device.startsWith(QStringLiteral("/dev/")) && removable && removable(QFileInfo(device).fileName());
        if ((media || removableDevice) && !points.contains(point)) points << point;
    }
    return points;
}

int GoodDrive(const QString& drive) { return CurrentDriveProbe().DiskPresent(drive) ? 1 : 0; }
int WriteTest(const QString& drive) { return CurrentDriveProbe().DiskWritable(drive) ? 1 : 0; }

QString OnDrive(const QString& drive, const QString& name) { return QDir(drive).filePath(name); }

}  // namespace disk

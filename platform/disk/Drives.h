#pragma once
// The disks a backup can go to. On this system a "drive" is a folder: a
// mounted removable medium, or any folder the user chooses. A disk is
// present when the folder can be read and is not one of the program's own
// folders (nor inside one); it is writable when an empty probe file can be
// made and removed there, also when it has no room left. Tests install a
// probe of their own over temporary folders.

#include <QString>
#include <QStringList>

namespace disk {

class DriveProbe {
public:
    virtual ~DriveProbe() = default;
    // The mount points of the removable media, in a stable order.
    virtual QStringList RemovableMedia();
    // A folder to read from: it exists, can be read, and is not protected.
    virtual bool DiskPresent(const QString& drive);
    // An empty probe file can be created and removed in the folder.
    virtual bool DiskWritable(const QString& drive);
};

DriveProbe& CurrentDriveProbe();
// Installs a probe (nullptr: back to the system one) and returns the one it
// replaces. The caller keeps ownership.
DriveProbe* SetDriveProbe(DriveProbe* probe);

// The folders that are never a disk: the data and the program folder. A
// drive that is one of them or lies inside one is not present.
void SetProtectedFolders(const QStringList& folders);
bool IsProtectedFolder(const QString& drive);

// The mount points of removable media listed in a mounts table (the format
// of /proc/self/mounts), where removable(device) says whether a block device
// ("sdb1") is removable. Mount points under /media and /run/media count as
// removable too.
QStringList RemovableMountPoints(const QString& mountsTable, bool (*removable)(const QString& device));

// The system's own probes, as free functions of the drive text: 0 when no
// disk is present or it cannot be written, nonzero otherwise.
int GoodDrive(const QString& drive);
int WriteTest(const QString& drive);

// A file in drive's root folder: drive, a separator and the name.
QString OnDrive(const QString& drive, const QString& name);

}  // namespace disk

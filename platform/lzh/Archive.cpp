#include "platform/lzh/Archive.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <memory>

extern "C" {
#include <lhasa.h>
}

#include "platform/disk/FileOps.h"
#include "platform/lzh/Lh5.h"

namespace lzh {

namespace {

void PutU16(QByteArray& out, uint32_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}

void PutU32(QByteArray& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

void SetU16(QByteArray& out, qsizetype at, uint32_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

// A level-2 header: the base part, then the common header (the header's own
// CRC) and the file name as extended headers.
QByteArray Level2Header(const QByteArray& name, qint64 packed, qint64 size, quint32 mtime, uint16_t crc) {
    QByteArray h;
    PutU16(h, 0);  // total header size, set below
    h.append("-lh5-");
    PutU32(h, static_cast<uint32_t>(packed));
    PutU32(h, static_cast<uint32_t>(size));
    PutU32(h, mtime);
    h.append(char(0x20));  // attribute: a plain file
    h.append(char(2));     // header level
    PutU16(h, crc);
    h.append('U');  // made on a Unix system
    PutU16(h, 5);   // size of the common header
    h.append(char(0x00));
    const qsizetype headerCrcAt = h.size();
    PutU16(h, 0);
    // The folder part, if any, goes in a header of its own with 0xFF after each folder.
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray file = name.mid(slash + 1);
    PutU16(h, static_cast<uint32_t>(3 + file.size()));  // size of the name header
    h.append(char(0x01));
    h.append(file);
    if (slash >= 0) {
        QByteArray folders = name.left(slash + 1);
        folders.replace('/', '\xFF');
        PutU16(h, static_cast<uint32_t>(3 + folders.size()));
        h.append(char(0x02));
        h.append(folders);
    }
    PutU16(h, 0);  // no more extended headers
    // A header size with a low byte of 0 would read as the end of the archive.
    if ((h.size() & 0xFF) == 0) h.append(char(0));
    SetU16(h, 0, static_cast<uint32_t>(h.size()));
    SetU16(h, headerCrcAt, Crc16(h));
    return h;
}

QString MemberName(const LHAFileHeader* header) {
    QString name;
    if (header->path) name += QString::fromLocal8Bit(header->path);
    if (header->filename) name += QString::fromLocal8Bit(header->filename);
    return name;
}

// A relative name inside the folder: no root, no drive, no "..", no empty part.
bool SafeName(const QString& name) {
    if (name.isEmpty() || name.startsWith(u'/') || name.startsWith(u'\\') || name.contains(u':')) return false;
    QString parts = name;
    parts.replace(u'\\', u'/');
    if (parts.endsWith(u'/')) parts.chop(1);
    for (const QString& part : parts.split(u'/')) {
        if (part.isEmpty() || part == u"." || part == u"..") return false;
    }
    return true;
}

// The member's whole name against each pattern, without regard to case: a
// name without a folder takes only a member stored without one.
bool Matches(const QString& name, const QStringList& patterns) {
    QString whole = name;
    whole.replace(u'\\', u'/');
    for (const QString& pattern : patterns) {
        if (pattern == u"*" || pattern == u"*.*") return true;
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern),
                                    QRegularExpression::CaseInsensitiveOption);
        if (re.match(whole).hasMatch()) return true;
    }
    return false;
}

// A failure's text: the reason in Japanese, then the detail for the log.
QString Why(const QString& reason, const QString& detail) { return reason + u'\n' + detail; }

const QString kNotAnArchive = QStringLiteral("書庫ファイルの形式ではないか、書庫ファイルが壊れています。");

struct ReaderDeleter {
    void operator()(LHAReader* r) const { lha_reader_free(r); }
};
struct StreamDeleter {
    void operator()(LHAInputStream* s) const { lha_input_stream_free(s); }
};
struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

Status WriteArchive(const QString& archivePath, const QString& sourcePath, const QString& memberName,
                    MemberReport* report, QString* error) {
    if (QFileInfo::exists(archivePath)) {
        *error = disk::FailureText(archivePath, EEXIST);
        return Status::Exists;
    }
    QFile source(sourcePath);
    errno = 0;
    if (!QFileInfo(sourcePath).isFile() || !source.open(QIODevice::ReadOnly)) {
        *error = disk::FailureText(sourcePath, errno != 0 ? errno : ENOENT);
        return Status::Missing;
    }
    const QByteArray data = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        *error = disk::FailureText(sourcePath, errno != 0 ? errno : EIO);
        return Status::Missing;
    }
    const QByteArray name = memberName.toLocal8Bit();
    if (data.size() > 0xFFFFFFFFLL || name.isEmpty() || name.size() > 0x7FFF) {
        *error = Why(QStringLiteral("書庫に入れられない大きさか名前のファイルです。"),
                     QStringLiteral("%1: too large or without a name for an archive").arg(sourcePath));
        return Status::BadCommand;
    }
    const QByteArray packed = PackLh5(data);
    const auto mtime = static_cast<quint32>(QFileInfo(sourcePath).lastModified().toSecsSinceEpoch());

    QSaveFile out(archivePath);
    errno = 0;
    if (!out.open(QIODevice::WriteOnly)) {
        *error = disk::FailureText(archivePath, errno != 0 ? errno : EACCES);
        return Status::WriteFailed;
    }
    // Every write counts whole: a full disk cuts a write short without an error of the file's own.
    for (const QByteArray& part : {Level2Header(name, packed.size(), data.size(), mtime, Crc16(data)), packed,
                                   QByteArray(1, '\0') /* end of the archive */}) {
        if (out.write(part) != part.size() || !out.flush()) {
            const int saved = errno != 0 ? errno : ENOSPC;
            out.cancelWriting();
            *error = disk::FailureText(archivePath, saved);
            return Status::WriteFailed;
        }
    }
    errno = 0;
    if (!out.commit()) {
        *error = disk::FailureText(archivePath, errno != 0 ? errno : ENOSPC);
        return Status::WriteFailed;
    }
    if (report) *report = {memberName, data.size(), packed.size(), QStringLiteral("-lh5-")};
    return Status::Ok;
}

namespace {

// Walks the archive's members: each one matching patterns is read whole
// and its length and CRC checked; with a folder it is unpacked there.
Status ReadMembers(const QString& archivePath, const QString& folder, const QStringList& patterns,
                   QList<MemberReport>* reports, QString* error) {
    const bool unpack = !folder.isEmpty();
    errno = 0;
    std::unique_ptr<FILE, FileCloser> file(std::fopen(QFile::encodeName(archivePath).constData(), "rb"));
    if (!file || !QFileInfo(archivePath).isFile()) {
        *error = disk::FailureText(archivePath, !file && errno != 0              ? errno
                                                : QFileInfo(archivePath).isDir() ? EISDIR
                                                                                 : ENOENT);
        return Status::Missing;
    }
    if (unpack && !QFileInfo(folder).isDir()) {
        *error = disk::FailureText(folder, ENOENT);
        return Status::Missing;
    }
    std::unique_ptr<LHAInputStream, StreamDeleter> stream(lha_input_stream_from_FILE(file.get()));
    std::unique_ptr<LHAReader, ReaderDeleter> reader(stream ? lha_reader_new(stream.get()) : nullptr);
    if (!reader) {
        *error = Why(kNotAnArchive, QStringLiteral("%1: the archive cannot be read").arg(archivePath));
        return Status::NotArchive;
    }
    const QDir target(folder);
    int members = 0;
    int matched = 0;
    while (LHAFileHeader* header = lha_reader_next_file(reader.get())) {
        if (lha_reader_current_is_fake(reader.get())) continue;
        ++members;
        const QString name = MemberName(header);
        if (!SafeName(name) || header->symlink_target) {
            *error =
                Why(QStringLiteral("書庫に、解凍先のフォルダの外に書き出されるファイルかリンクが入っています。"),
                    QStringLiteral("%1: the member \"%2\" would be written outside %3").arg(archivePath, name, folder));
            return Status::UnsafeName;
        }
        if (!Matches(name, patterns)) continue;
        ++matched;
        const QString path = unpack ? target.filePath(name) : name;
        if (QString(header->compress_method) == QLatin1String(LHA_COMPRESS_TYPE_DIR)) {
            errno = 0;
            if (unpack && !target.mkpath(name)) {
                *error = disk::FailureText(path, errno != 0 ? errno : EACCES);
                return Status::WriteFailed;
            }
            continue;
        }
        std::unique_ptr<QTemporaryFile> part;
        if (unpack) {
            if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
                *error = disk::FailureText(path, EEXIST);
                return Status::Exists;
            }
            const QString parent = QFileInfo(path).absolutePath();
            errno = 0;
            if (!QDir().mkpath(parent)) {
                *error = disk::FailureText(parent, errno != 0 ? errno : EACCES);
                return Status::WriteFailed;
            }
            // Into a temporary file beside the target, which takes the name only once the CRC matched.
            part = std::make_unique<QTemporaryFile>(parent + QStringLiteral("/.unpack-XXXXXX"));
            errno = 0;
            if (!part->open()) {
                *error = disk::FailureText(path, errno != 0 ? errno : EACCES);
                return Status::WriteFailed;
            }
        }
        uint16_t crc = 0;
        qint64 length = 0;
        char buffer[64 * 1024];
        for (;;) {
            const size_t got = lha_reader_read(reader.get(), buffer, sizeof buffer);
            if (got == 0) break;
            crc = Crc16(buffer, static_cast<qsizetype>(got), crc);
            length += static_cast<qint64>(got);
            errno = 0;
            if (part && part->write(buffer, static_cast<qint64>(got)) != static_cast<qint64>(got)) {
                *error = disk::FailureText(path, errno != 0 ? errno : ENOSPC);
                return Status::WriteFailed;
            }
        }
        if (length != static_cast<qint64>(header->length) || crc != header->crc) {
            *error = Why(QStringLiteral("書庫ファイルが壊れています。"),
                         QStringLiteral("%1: the member \"%2\" is damaged (%3 of %4 bytes, CRC %5, expected %6)")
                             .arg(archivePath, name)
                             .arg(length)
                             .arg(static_cast<qint64>(header->length))
                             .arg(crc, 4, 16, QLatin1Char('0'))
                             .arg(header->crc, 4, 16, QLatin1Char('0')));
            return Status::Damaged;
        }
        if (part) {
            errno = 0;
            if (!part->flush()) {
                *error = disk::FailureText(path, errno != 0 ? errno : ENOSPC);
                return Status::WriteFailed;
            }
            part->close();
            QString renameError;
            if (!disk::RenameNoReplace(part->fileName(), path, &renameError)) {
                *error = renameError;
                return QFileInfo::exists(path) ? Status::Exists : Status::WriteFailed;
            }
            part->setAutoRemove(false);
        }
        if (reports)
            reports->append({name, length, static_cast<qint64>(header->compressed_length),
                             QString::fromLatin1(header->compress_method)});
    }
    if (members == 0) {
        *error =
            Why(kNotAnArchive, QStringLiteral("%1: not an archive, or its first header is damaged").arg(archivePath));
        return Status::NotArchive;
    }
    if (matched == 0) {
        *error = Why(QStringLiteral("書庫に、取り出すファイルが入っていません。"),
                     QStringLiteral("%1: no member matches %2").arg(archivePath, patterns.join(u' ')));
        return Status::NothingMatched;
    }
    return Status::Ok;
}

}  // namespace

Status ExtractArchive(const QString& archivePath, const QString& folder, const QStringList& patterns,
                      QList<MemberReport>* reports, QString* error) {
    if (folder.isEmpty()) {
        *error =
            Why(QStringLiteral("書庫の操作の指定が正しくありません。"), QStringLiteral("no folder to unpack into"));
        return Status::BadCommand;
    }
    return ReadMembers(archivePath, folder, patterns, reports, error);
}

Status TestArchive(const QString& archivePath, QString* error) {
    return ReadMembers(archivePath, QString(), {QStringLiteral("*")}, nullptr, error);
}

}  // namespace lzh

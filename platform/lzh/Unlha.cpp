#include "platform/lzh/Unlha.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cstring>

namespace lzh {

namespace {

struct Word {
    QString text;
    bool quoted = false;
};

// Splits at blanks outside quotes; quotes are removed, and quoted texts that
// touch (also with unquoted text) join into one word.
QList<Word> Words(const QString& command) {
    QList<Word> words;
    Word current;
    bool inWord = false;
    bool inQuotes = false;
    for (const QChar c : command) {
        if (c == u'"') {
            inQuotes = !inQuotes;
            inWord = true;
            current.quoted = true;
        } else if ((c == u' ' || c == u'\t') && !inQuotes) {
            if (inWord) words.append(current);
            current = Word();
            inWord = false;
        } else {
            current.text += c;
            inWord = true;
        }
    }
    if (inWord) words.append(current);
    return words;
}

bool IsFolderWord(const QString& w) { return w.endsWith(u'/') || w.endsWith(u'\\'); }

QString Native(QString path) {
    path.replace(u'\\', u'/');
    return path;
}

QString Percent(qint64 packed, qint64 size) {
    if (size == 0) return QStringLiteral("100.0%");
    return QString::number(100.0 * static_cast<double>(packed) / static_cast<double>(size), 'f', 1) + u'%';
}

int Finish(Status status, const QString& report, char* output, int outputSize) {
    if (output && outputSize > 0) {
        const QByteArray bytes = report.toLocal8Bit();
        const int n = std::min<int>(static_cast<int>(bytes.size()), outputSize - 1);
        std::memcpy(output, bytes.constData(), static_cast<size_t>(n));
        output[n] = '\0';
    }
    return static_cast<int>(status);
}

int Pack(const QList<Word>& args, char* output, int outputSize) {
    if (args.isEmpty()) return Finish(Status::BadCommand, QStringLiteral("no archive named"), output, outputSize);
    const QString archive = Native(args[0].text);
    qsizetype next = 1;
    QString base;
    if (next < args.size() && IsFolderWord(args[next].text)) base = Native(args[next++].text);
    QStringList files;
    for (; next < args.size(); ++next) files << Native(args[next].text);
    if (files.size() != 1)
        return Finish(Status::BadCommand, QStringLiteral("exactly one file is packed into a new archive"), output,
                      outputSize);
    QString file = files.first();
    if (QFileInfo(file).isRelative() && !base.isEmpty()) file = QDir(base).filePath(file);
    const QString absolute = QFileInfo(file).absoluteFilePath();
    QString member = QFileInfo(file).fileName();
    if (!base.isEmpty()) {
        const QString relative = QDir(QFileInfo(base).absoluteFilePath()).relativeFilePath(absolute);
        if (!relative.startsWith(QStringLiteral(".."))) member = relative;
    }
    MemberReport report;
    QString error;
    const Status status = WriteArchive(archive, absolute, member, &report, &error);
    if (status != Status::Ok) return Finish(status, error, output, outputSize);
    return Finish(status,
                  QStringLiteral("%1  %2 -> %3  %4  %5  packed\n")
                      .arg(report.name)
                      .arg(report.size)
                      .arg(report.packed)
                      .arg(Percent(report.packed, report.size), report.method),
                  output, outputSize);
}

int Unpack(const QList<Word>& args, char* output, int outputSize) {
    if (args.isEmpty()) return Finish(Status::BadCommand, QStringLiteral("no archive named"), output, outputSize);
    const QString archive = Native(args[0].text);
    qsizetype next = 1;
    QString folder = QDir::currentPath();
    if (next < args.size() && IsFolderWord(args[next].text)) folder = Native(args[next++].text);
    QStringList patterns;
    for (; next < args.size(); ++next) patterns << args[next].text;
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    QList<MemberReport> reports;
    QString error;
    const Status status = ExtractArchive(archive, folder, patterns, &reports, &error);
    QString text;
    for (const MemberReport& r : reports)
        text += QStringLiteral("%1  %2 bytes  %3  CRC ok  unpacked\n").arg(r.name).arg(r.size).arg(r.method);
    if (status != Status::Ok) text += error;
    return Finish(status, text, output, outputSize);
}

}  // namespace

int Unlha(int /*window*/, const char* command, char* output, int outputSize) {
    QList<Word> words = Words(QString::fromLocal8Bit(command ? command : ""));
    QList<Word> args;
    for (qsizetype i = 1; i < words.size(); ++i) {
        if (!words[i].quoted && words[i].text.startsWith(u'-')) continue;  // a switch
        if (words[i].text.isEmpty()) continue;
        args.append(words[i]);
    }
    const QString verb = words.isEmpty() ? QString() : words.first().text.toLower();
    if (verb == u"a") return Pack(args, output, outputSize);
    if (verb == u"x") return Unpack(args, output, outputSize);
    return Finish(Status::BadCommand, QStringLiteral("unknown command: %1").arg(verb), output, outputSize);
}

QString OutputText(const char* output, int outputSize) {
    if (!output || outputSize <= 0) return QString();
    const void* nul = std::memchr(output, '\0', static_cast<size_t>(outputSize));
    const int n = nul ? static_cast<int>(static_cast<const char*>(nul) - output) : outputSize;
    return QString::fromLocal8Bit(output, n);
}

}  // namespace lzh

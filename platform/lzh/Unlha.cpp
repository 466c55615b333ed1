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

// The command's verb and the words it acts on (switches and empty words
// left out), with "\" read as "/".
struct Command {
    QString verb;
    QStringList args;
};

QString Native(QString path) {
    path.replace(u'\\', u'/');
    return path;
}

Command Parse(const QString& text) {
    const QList<Word> words = Words(text);
    Command command;
    if (!words.isEmpty()) command.verb = words.first().text.toLower();
    for (qsizetype i = 1; i < words.size(); ++i) {
        if (!words[i].quoted && words[i].text.startsWith(u'-')) continue;  // a switch
        if (words[i].text.isEmpty()) continue;
        command.args << Native(words[i].text);
    }
    return command;
}

bool IsFolderWord(const QString& w) { return w.endsWith(u'/'); }

QString Percent(qint64 packed, qint64 size) {
    if (size == 0) return QStringLiteral("100.0%");
    return QString::number(100.0 * static_cast<double>(packed) / static_cast<double>(size), 'f', 1) + u'%';
}

int Finish(Status status, const QString& report, char* output, int outputSize) {
    if (output && outputSize > 0) {
        const QByteArray bytes = report.toLocal8Bit();
        int n = std::min<int>(static_cast<int>(bytes.size()), outputSize - 1);
        // A cut report ends at a whole character (the local encoding is UTF-8).
        while (n > 0 && n < bytes.size() && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80) --n;
        std::memcpy(output, bytes.constData(), static_cast<size_t>(n));
        output[n] = '\0';
    }
    return static_cast<int>(status);
}

int BadCommand(const QString& detail, char* output, int outputSize) {
    return Finish(Status::BadCommand, QStringLiteral("書庫の操作の指定が正しくありません。\n") + detail, output,
                  outputSize);
}

int Pack(const QStringList& args, char* output, int outputSize) {
    if (args.isEmpty()) return BadCommand(QStringLiteral("no archive named"), output, outputSize);
    const QString archive = args[0];
    qsizetype next = 1;
    QString base;
    if (next < args.size() && IsFolderWord(args[next])) base = args[next++];
    const QStringList files = args.mid(next);
    if (files.size() != 1)
        return BadCommand(QStringLiteral("exactly one file is packed into a new archive"), output, outputSize);
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
                  QStringLiteral("%1  %2 バイトを %3 バイト（%4）に圧縮しました\n")
                      .arg(report.name)
                      .arg(report.size)
                      .arg(report.packed)
                      .arg(Percent(report.packed, report.size)),
                  output, outputSize);
}

int Unpack(const QStringList& args, char* output, int outputSize) {
    if (args.isEmpty()) return BadCommand(QStringLiteral("no archive named"), output, outputSize);
    const QString archive = args[0];
    qsizetype next = 1;
    QString folder = QDir::currentPath();
    if (next < args.size() && IsFolderWord(args[next])) folder = args[next++];
    QStringList patterns = args.mid(next);
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    QList<MemberReport> reports;
    QString error;
    const Status status = ExtractArchive(archive, folder, patterns, &reports, &error);
    if (status != Status::Ok) return Finish(status, error, output, outputSize);
    QString text;
    for (const MemberReport& r : reports)
        text += QStringLiteral("%1  %2 バイトを解凍しました\n").arg(r.name).arg(r.size);
    return Finish(status, text, output, outputSize);
}

int Run(const Command& command, char* output, int outputSize) {
    if (command.verb == u"a") return Pack(command.args, output, outputSize);
    if (command.verb == u"x") return Unpack(command.args, output, outputSize);
    return BadCommand(QStringLiteral("unknown command: %1").arg(command.verb), output, outputSize);
}

}  // namespace

int Unlha(int /*window*/, const char* command, char* output, int outputSize) {
    return Run(Parse(QString::fromLocal8Bit(command ? command : "")), output, outputSize);
}

int Unlha(int /*window*/, const QString& command, const QStringList& paths, char* output, int outputSize) {
    Command parsed = Parse(command);
    for (const QString& path : paths)
        if (!path.isEmpty()) parsed.args << path;
    return Run(parsed, output, outputSize);
}

QString OutputText(const char* output, int outputSize) {
    if (!output || outputSize <= 0) return QString();
    const void* nul = std::memchr(output, '\0', static_cast<size_t>(outputSize));
    const int n = nul ? static_cast<int>(static_cast<const char*>(nul) - output) : outputSize;
    return QString::fromLocal8Bit(output, n);
}

}  // namespace lzh

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/lzh/Archive.h"
#include "platform/lzh/Lh5.h"
#include "platform/lzh/Unlha.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray RandomBytes(qsizetype size, quint32 seed) {
    QByteArray b(size, Qt::Uninitialized);
    QRandomGenerator gen(seed);
    for (qsizetype i = 0; i < size; ++i) b[i] = static_cast<char>(gen.generate() & 0xFF);
    return b;
}

// Lines like those of an expense book: dates, partners, items, amounts.
QByteArray ExpenseLines(int lines) {
    static const char* partners[] = {"東京電力", "ＮＴＴ東日本", "文具のマルヤ", "ガソリンスタンド", "郵便局"};
    static const char* items[] = {"水道光熱費", "通信費", "消耗品費", "旅費交通費", "荷造運賃"};
    QByteArray text;
    for (int i = 0; i < lines; ++i) {
        text += QStringLiteral("2026/%1/%2,%3,%4,%5,%6\r\n")
                    .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
                    .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                    .arg(QString::fromUtf8(partners[i % 5]), QString::fromUtf8(items[(i / 5) % 5]))
                    .arg((i * 37) % 50000 + 100)
                    .arg(((i * 37) % 50000 + 100) * 5 / 105)
                    .toUtf8();
    }
    return text;
}

int RunTool(const QString& program, const QStringList& args, const QString& dir, QByteArray* out = nullptr) {
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(120000)) return -1;
    if (out) *out = p.readAll();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

int UnlhaCall(const QString& command, QString* report) {
    char output[lzh::kOutputSize];
    std::memset(output, 'x', sizeof output);
    const int rc = lzh::Unlha(0, command.toLocal8Bit().constData(), output, lzh::kOutputSize);
    if (report) *report = lzh::OutputText(output, lzh::kOutputSize);
    return rc;
}

class LzhTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return QDir(dir_.path()).filePath(name); }
    QTemporaryDir dir_;
};

TEST_F(LzhTest, ArchivesWeWriteUnpackByteIdenticalThroughTheLibraryAndTheLhasaTool) {
    const QString lhasa = QStandardPaths::findExecutable(QStringLiteral("lhasa"));
    ASSERT_FALSE(lhasa.isEmpty()) << "the lhasa tool is needed";
    QByteArray repetitive;
    while (repetitive.size() < 10 * 1024 * 1024) repetitive += "経費帳 2026/12/09 文具のマルヤ 消耗品費 1,280円\n";
    const struct {
        const char* name;
        QByteArray data;
    } cases[] = {
        {"empty", QByteArray()},
        {"small", QByteArray("hello, archive")},
        {"random1m", RandomBytes(1024 * 1024, 1)},
        {"random10m", RandomBytes(10 * 1024 * 1024, 2)},
        {"repeat1m", repetitive.left(1024 * 1024)},
        {"repeat10m", repetitive.left(10 * 1024 * 1024)},
        {"runs", QByteArray(300000, 'a') + QByteArray(70000, '\0') + RandomBytes(20000, 3) + QByteArray(5, 'b')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = Path(QString::fromLatin1(c.name));
        ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/out")));
        const QString source = folder + QStringLiteral("/Murvdata.mdb");
        WriteAll(source, c.data);
        QString report;
        ASSERT_EQ(UnlhaCall(QStringLiteral(
                                "a -+ -a1 -d0 -f0 -n0 -jm4 \"%1/murvdata.lzh\" \"%1/\" \"%1/\"\"Murvdata.mdb\"\"\"")
                                .arg(folder),
                            &report),
                  0)
            << report.toStdString();
        EXPECT_TRUE(report.startsWith(QStringLiteral("Murvdata.mdb  %1 バイトを ").arg(c.data.size())))
            << report.toStdString();
        EXPECT_EQ(report.count(u'\n'), 1);

        ASSERT_EQ(UnlhaCall(QStringLiteral("x -+ -a2 -d1 -f0 -n1 -jyc0 -jyd0 -jyk0 -jyn0 -jyo0 \"%1/murvdata.lzh\" "
                                           "\"%1/out/\" \"*.*\"")
                                .arg(folder),
                            &report),
                  0)
            << report.toStdString();
        EXPECT_EQ(report, QStringLiteral("Murvdata.mdb  %1 バイトを解凍しました\n").arg(c.data.size()));
        EXPECT_EQ(ReadAll(folder + QStringLiteral("/out/Murvdata.mdb")), c.data);

        // The standard tool tests the CRC and unpacks the same bytes.
        QByteArray said;
        EXPECT_EQ(RunTool(lhasa, {QStringLiteral("t"), folder + QStringLiteral("/murvdata.lzh")}, folder, &said), 0)
            << said.toStdString();
        ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/tool")));
        EXPECT_EQ(RunTool(lhasa, {QStringLiteral("xq"), folder + QStringLiteral("/murvdata.lzh")},
                          folder + QStringLiteral("/tool"), &said),
                  0)
            << said.toStdString();
        EXPECT_EQ(ReadAll(folder + QStringLiteral("/tool/Murvdata.mdb")), c.data);
        QDir(folder).removeRecursively();
    }
}

TEST_F(LzhTest, RepetitiveDataPacksToWellUnderHalf) {
    const QByteArray lines = ExpenseLines(50000);
    const QByteArray packed = lzh::PackLh5(lines);
    EXPECT_LT(packed.size(), lines.size() / 4) << packed.size() << " of " << lines.size();
    // Random data grows only by the tables.
    const QByteArray random = RandomBytes(1 << 20, 7);
    EXPECT_LT(lzh::PackLh5(random).size(), random.size() + random.size() / 50);
}

TEST_F(LzhTest, UnpackingRefusesUnsafeNamesDamageAndReplacingFiles) {
    const QString source = Path(QStringLiteral("data.bin"));
    WriteAll(source, ExpenseLines(2000));
    QString error;
    ASSERT_TRUE(QDir().mkpath(Path(QStringLiteral("target"))));
    const QString target = Path(QStringLiteral("target"));

    // Names that leave the folder: a rooted one is refused; ".." parts never climb out.
    const QString outside = QStringLiteral("/tmp/murv-lzh-test-%1.bin").arg(QCoreApplication::applicationPid());
    for (const QString& name : {outside, QStringLiteral("../escaped.bin"), QStringLiteral("a/../../escaped.bin")}) {
        SCOPED_TRACE(name.toStdString());
        const QString archive = Path(QStringLiteral("unsafe.lzh"));
        QFile::remove(archive);
        ASSERT_EQ(lzh::WriteArchive(archive, source, name, nullptr, &error), lzh::Status::Ok) << error.toStdString();
        const lzh::Status status = lzh::ExtractArchive(archive, target, {QStringLiteral("*.*")}, nullptr, &error);
        if (name == outside) {
            EXPECT_EQ(status, lzh::Status::UnsafeName);
        }
        EXPECT_FALSE(QFile::exists(Path(QStringLiteral("escaped.bin"))));
        EXPECT_FALSE(QFile::exists(outside));
        QDir(target).removeRecursively();
        QDir().mkpath(target);
    }

    const QString archive = Path(QStringLiteral("good.lzh"));
    ASSERT_EQ(lzh::WriteArchive(archive, source, QStringLiteral("data.bin"), nullptr, &error), lzh::Status::Ok);
    // An archive is never made over an existing file.
    EXPECT_EQ(lzh::WriteArchive(archive, source, QStringLiteral("data.bin"), nullptr, &error), lzh::Status::Exists);

    // An existing file is not replaced.
    WriteAll(target + QStringLiteral("/data.bin"), "keep me");
    EXPECT_EQ(lzh::ExtractArchive(archive, target, {QStringLiteral("*.*")}, nullptr, &error), lzh::Status::Exists);
    EXPECT_EQ(ReadAll(target + QStringLiteral("/data.bin")), QByteArray("keep me"));
    QFile::remove(target + QStringLiteral("/data.bin"));

    // Whatever follows the end marker is ignored.
    QByteArray bytes = ReadAll(archive);
    WriteAll(archive, bytes + QByteArray(1500, '\0'));
    EXPECT_EQ(lzh::ExtractArchive(archive, target, {QStringLiteral("*.*")}, nullptr, &error), lzh::Status::Ok)
        << error.toStdString();
    EXPECT_EQ(ReadAll(target + QStringLiteral("/data.bin")), ReadAll(source));
    QFile::remove(target + QStringLiteral("/data.bin"));

    // A damaged byte in the packed data: the CRC tells, and no file is left.
    QByteArray damaged = bytes;
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x5A);
    WriteAll(archive, damaged);
    EXPECT_EQ(lzh::ExtractArchive(archive, target, {QStringLiteral("*.*")}, nullptr, &error), lzh::Status::Damaged);
    EXPECT_TRUE(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());

    // A cut archive and a file that is no archive at all.
    WriteAll(archive, bytes.left(bytes.size() / 2));
    EXPECT_NE(lzh::ExtractArchive(archive, target, {QStringLiteral("*.*")}, nullptr, &error), lzh::Status::Ok);
    WriteAll(archive, RandomBytes(5000, 9));
    EXPECT_NE(lzh::ExtractArchive(archive, target, {QStringLiteral("*.*")}, nullptr, &error), lzh::Status::Ok);
    EXPECT_TRUE(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST_F(LzhTest, TheCommandLineReportsFailuresAndFitsTheBuffer) {
    QString report;
    EXPECT_NE(UnlhaCall(QStringLiteral("q \"a.lzh\""), &report), 0);
    EXPECT_NE(UnlhaCall(QStringLiteral("a -+ \"%1\" \"%2/\" \"missing.mdb\"").arg(Path("a.lzh"), dir_.path()), &report),
              0);
    EXPECT_TRUE(report.contains(QStringLiteral("missing.mdb"))) << report.toStdString();
    EXPECT_FALSE(QFile::exists(Path("a.lzh")));
    EXPECT_NE(UnlhaCall(QStringLiteral("x -+ \"%1\" \"%2/\" \"*.*\"").arg(Path("none.lzh"), dir_.path()), &report), 0);

    // A long report is cut to the buffer at a whole character and ends with a NUL.
    char small[16];
    std::memset(small, 'x', sizeof small);
    EXPECT_NE(lzh::Unlha(0, "x \"/no/such/archive/with/a/long/name.lzh\" \"/tmp/\"", small, sizeof small), 0);
    EXPECT_EQ(small[15], '\0');
    EXPECT_FALSE(lzh::OutputText(small, sizeof small).contains(QChar::ReplacementCharacter));

    // A folder with blanks, a file named relative to the base folder.
    const QString folder = Path(QStringLiteral("with blanks"));
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteAll(folder + QStringLiteral("/Murvdata.mdb"), "data");
    EXPECT_EQ(UnlhaCall(QStringLiteral("a -+ \"%1/m.lzh\" \"%1/\" \"Murvdata.mdb\"").arg(folder), &report), 0)
        << report.toStdString();
    QFile::remove(folder + QStringLiteral("/Murvdata.mdb"));
    EXPECT_EQ(UnlhaCall(QStringLiteral("x -+ \"%1/m.lzh\" \"%1/\" \"*.mdb\"").arg(folder), &report), 0)
        << report.toStdString();
    EXPECT_EQ(ReadAll(folder + QStringLiteral("/Murvdata.mdb")), QByteArray("data"));
    // A name asked for that the archive does not hold.
    QFile::remove(folder + QStringLiteral("/Murvdata.mdb"));
    EXPECT_EQ(UnlhaCall(QStringLiteral("x -+ \"%1/m.lzh\" \"%1/\" \"other.txt\"").arg(folder), &report),
              static_cast<int>(lzh::Status::NothingMatched));
}

}  // namespace

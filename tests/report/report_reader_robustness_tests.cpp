// The reader takes any file a user may pick: it must finish, never crash, and keep the
// table within its capacity.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QRandomGenerator>

#include "report_fixture.h"
#include "report_opener.h"
#include "report_writer.h"

namespace quillon {
namespace {

struct Loader {
    Session s;
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    LoadResult Load(const QString& path) {
        s.settings.Fdt = {"yyyy/mm/dd", "HH:nn:ss"};
        ReportOpenerCallbacks cb;
        cb.processEvents = [] {};
        return ReportOpener(s, messages, dialogs, cb).LoadReport(path);
    }
};

void ExpectSane(const Session& s) {
    EXPECT_GE(s.table.rows(), 2);
    EXPECT_LE(s.table.recordCount(), ReportOpener::kMaxRecords);
    EXPECT_TRUE(s.table.cell(s.table.rows() - 1, 0).isEmpty());
    EXPECT_TRUE(s.table.redraw());
    EXPECT_EQ(s.rec.RunState, kRunViewingFile);
}

QByteArray Mutate(QByteArray bytes, QRandomGenerator& rng) {
    const int edits = 1 + rng.bounded(20);
    for (int i = 0; i < edits && !bytes.isEmpty(); ++i) {
        const int at = rng.bounded(int(bytes.size()));
        switch (rng.bounded(4)) {
            case 0:
                bytes[at] = char(rng.bounded(256));
                break;
            case 1:
                bytes.remove(at, 1 + rng.bounded(30));
                break;
            case 2:
                bytes.insert(at, rng.bounded(2) ? "\r" : ", , ,");
                break;
            default:
                bytes.truncate(at);
                break;
        }
    }
    return bytes;
}

TEST(ReportReaderRobustness, MutatedAndRandomFilesLoadWithoutHarm) {
    QTemporaryDir dir;
    Session source;
    test::MakeRecording(source, 40);
    source.table.setCell(3, 4, "KΩ");
    const QByteArray good = ReportBytes(source);
    QRandomGenerator rng(20240501);
    const QString path = dir.filePath("m.csv");
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes;
        if (round % 3 == 2) {
            bytes.resize(rng.bounded(4000));
            for (char& c : bytes) c = char(rng.bounded(256));
        } else {
            bytes = Mutate(good, rng);
        }
        ASSERT_TRUE(test::WriteAll(path, bytes));
        Loader loader;
        ASSERT_TRUE(loader.Load(path).ok) << round;
        ExpectSane(loader.s);
    }
}

TEST(ReportReaderRobustness, EdgeFilesLoad) {
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray bytes;
        int records;
    };
    QByteArray nuls(2000, '\0');
    QByteArray manyLines;
    for (int i = 0; i < 12000; ++i) manyLines += " 1, 2024/05/01, 10:00:00, 1, V\n";
    const Case cases[] = {
        {"empty", {}, 0},
        {"seven lines", "a\nb\nc\nd\ne\nf\ng\n", 0},
        {"only line breaks", QByteArray(50, '\n'), 0},
        {"NUL bytes", nuls, 0},
        {"type line too short", "T, x\r\nType, (1\r\n", 0},
        {"type code not a number", "T, x\r\nType, ABC_(x9z)\r\n", 0},
        {"more records than a recording holds", "1\n2\n3\n4\n5\n6\n7\n" + manyLines,
         ReportOpener::kMaxRecords},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath("e.csv");
        ASSERT_TRUE(test::WriteAll(path, c.bytes));
        Loader loader;
        ASSERT_TRUE(loader.Load(path).ok) << c.name;
        ExpectSane(loader.s);
        EXPECT_EQ(loader.s.table.recordCount(), c.records) << c.name;
    }
}

TEST(ReportReaderRobustness, NamedPipeIsRefusedInsteadOfWaitingForAWriter) {
    QTemporaryDir dir;
    const QString path = dir.filePath("pipe.csv");
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    Loader loader;
    test::MakeBenchTest(loader.s);
    const LoadResult result = loader.Load(path);  // would block in open() if tried
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.errorText.startsWith(path)) << result.errorText.toStdString();
    EXPECT_EQ(loader.s.table.recordCount(), 2);  // the shown recording is kept
}

TEST(ReportReaderRobustness, FiftyMegabyteBinaryFileFinishes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("big.bin");
    QByteArray bytes(50 * 1024 * 1024, '\0');
    QRandomGenerator rng(7);
    rng.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    ASSERT_TRUE(test::WriteAll(path, bytes));
    bytes.clear();
    Loader loader;
    ASSERT_TRUE(loader.Load(path).ok);
    ExpectSane(loader.s);
}

// Opening a small report takes memory for its size, not the most a report may have: it
// works in a child process allowed only 24 MB more address space than it uses.
TEST(ReportReaderRobustness, SmallFileNeedsLittleMemory) {
    QTemporaryDir dir;
    Session source;
    test::MakeRecording(source, 20);
    const QString path = dir.filePath("small.csv");
    ASSERT_TRUE(WriteReport(source, path).ok);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QFile status("/proc/self/status");
        if (!status.open(QIODevice::ReadOnly)) _exit(77);
        const QByteArray text = status.readAll();
        const qsizetype at = text.indexOf("VmSize:");
        if (at < 0) _exit(77);
        const qint64 usedKb = text.mid(at + 7, 20).trimmed().split(' ').first().toLongLong();
        const rlimit limit{rlim_t(usedKb + 24 * 1024) * 1024, rlim_t(usedKb + 24 * 1024) * 1024};
        if (usedKb <= 0 || setrlimit(RLIMIT_AS, &limit) != 0) _exit(77);
        try {
            Loader loader;
            _exit(loader.Load(path).records == 20 ? 0 : 1);
        } catch (...) {
            _exit(1);  // out of memory; never return into the test runner
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no address space limit";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the load ran out of memory";
}

}  // namespace
}  // namespace quillon

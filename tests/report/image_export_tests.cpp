#include <gtest/gtest.h>

#include <QDir>
#include <QImageReader>

#include "image_export.h"
#include "report_fixture.h"

namespace quillon {
namespace {

QImage TestPicture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int x = 0; x < w; ++x) image.setPixel(x, h / 2, qRgb(200, 0, 0));
    return image;
}

class ImageExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::MakeBenchTest(s);
        s.rec.recordName = "20240131_142500";
        s.graph.pageBox = "1";
        capture.grab = [this] {
            events << "grab";
            return TestPicture(320, 200);
        };
        capture.leaveMaximized = [this] {
            events << "leave";
            return maximized;
        };
        capture.restoreMaximized = [this] { events << "restore"; };
        capture.wait = [this](int ms) { events << QString("wait %1").arg(ms); };
    }
    ImageExporter Exporter() {
        return ImageExporter(
            s, messages, dialogs, [] { return TestPicture(640, 240); }, capture);
    }

    QTemporaryDir dir;
    Session s;
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    WindowCapture capture;
    bool maximized = false;
    QStringList events;
};

TEST_F(ImageExportTest, SaveGraphWithoutRecordsSaysSoWithoutADialog) {
    s.table.setRows(1);
    s.table.setRows(2);
    Exporter().mnsaveBmp_Click();
    EXPECT_TRUE(dialogs.requests.isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "No graph found.");
    EXPECT_EQ(s.rec.RunState, kRunCommand);
}

TEST_F(ImageExportTest, DialogProposesRecordNameAndPage) {
    Exporter().mnsaveBmp_Click();
    Exporter().mnsaveScreen_Click();
    ASSERT_EQ(dialogs.requests.size(), 2);
    EXPECT_EQ(dialogs.requests[0].proposedName, "20240131_142500_P1");
    EXPECT_EQ(dialogs.requests[1].proposedName, "20240131_142500");
    for (const FileDialogRequest& r : dialogs.requests) {
        EXPECT_EQ(r.title, "Save File");
        EXPECT_EQ(r.filters, (QStringList{"BMP Windows Bitmap(*.bmp)", "JPEG(*.jpg)"}));
        EXPECT_EQ(r.defaultSuffix, "bmp");
        EXPECT_TRUE(r.confirmOverwrite);
    }
    // Cancelled both times: nothing written, nothing shown, nothing captured.
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    s.rec.recordName = "a_much_longer_record_name";
    EXPECT_EQ(Exporter().GraphFileName(), "a_much_longer_r_P1");
}

TEST_F(ImageExportTest, FileContentFollowsTheChosenType) {
    struct Case {
        const char* name;
        const char* file;
        int filter;
        const char* format;
    };
    const Case cases[] = {
        {"bitmap", "g.bmp", 0, "bmp"},
        {"jpeg by name", "g.jpg", 1, "jpeg"},
        {"jpeg name, bitmap filter", "h.JPG", 0, "jpeg"},
        {"no suffix, jpeg filter", "noext", 1, "jpeg"},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(c.file);
        dialogs.answers = {{path, c.filter}};
        messages.shown.clear();
        Exporter().mnsaveBmp_Click();
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), QByteArray(c.format)) << c.name;
        const QImage back = reader.read();
        EXPECT_EQ(back.size(), QSize(640, 240)) << c.name;
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, "File Saved ok!");
    }
    const QImage bmp(dir.filePath("g.bmp"));
    EXPECT_EQ(bmp.pixel(10, 120), qRgb(200, 0, 0));
    EXPECT_EQ(bmp.pixel(10, 10), qRgb(255, 255, 255));
}

TEST_F(ImageExportTest, SaveScreenCapturesAtNormalSizeAndRestoresMaximized) {
    maximized = true;
    const QString path = dir.filePath("screen.bmp");
    dialogs.answers = {{path, 0}};
    Exporter().mnsaveScreen_Click();
    EXPECT_EQ(events, (QStringList{"leave", "wait 200", "grab", "restore"}));
    EXPECT_EQ(QImage(path).size(), QSize(320, 200));
    EXPECT_EQ(s.rec.RunState, kRunCommand);
}

TEST_F(ImageExportTest, FailuresAreSilent) {
    dialogs.answers = {{dir.filePath("no/such/dir/g.bmp"), 0}};
    Exporter().mnsaveBmp_Click();
    capture.grab = [] { return QImage(); };
    dialogs.answers = {{dir.filePath("s.bmp"), 0}};
    Exporter().mnsaveScreen_Click();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("s.bmp")));
}

}  // namespace
}  // namespace quillon

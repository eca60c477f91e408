#include <gtest/gtest.h>

#include <QDir>
#include <QImageReader>

#include "image_export.h"
#include "report_fixture.h"

namespace quillon {
namespace {

// A white picture with a red line across its middle.
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
        capture.grab = [this] { return events << "grab", TestPicture(320, 200); };
        capture.leaveMaximized = [this] { return events << "leave", maximized; };
        capture.restoreMaximized = [this] { events << "restore"; };
        capture.wait = [this](int ms) { events << QString("wait %1").arg(ms); };
    }
    ImageExporter Exporter() {
        return ImageExporter(
            s, messages, dialogs, [] { return TestPicture(640, 240); }, capture);
    }
    // Saves the graph as `path` with the given filter; the one message shown.
    QString SaveGraph(const QString& path, int filter = 0) {
        dialogs.answers = {{path, filter}};
        messages.shown.clear();
        Exporter().saveGraphPicture();
        return messages.shown.isEmpty() ? QString() : messages.shown[0].text;
    }

    QTemporaryDir dir;
    Session s;
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    WindowCapture capture;
    bool maximized = false;
    QStringList events;
};

TEST_F(ImageExportTest, DialogProposesRecordNameAndPage) {
    Exporter().saveGraphPicture();
    Exporter().saveWindowPicture();
    ASSERT_EQ(dialogs.requests.size(), 2);
    EXPECT_EQ(dialogs.requests[0].proposedName, "20240131_142500_P1");
    EXPECT_EQ(dialogs.requests[1].proposedName, "20240131_142500");
    const FileDialogRequest& r = dialogs.requests[1];
    EXPECT_EQ(r.filters, (QStringList{"BMP Windows Bitmap(*.bmp)", "JPEG(*.jpg)", "PNG(*.png)"}));
    EXPECT_EQ(QStringList({r.title, r.defaultSuffix}), QStringList({"Save File", "bmp"}));
    EXPECT_TRUE(r.confirmOverwrite);
    EXPECT_TRUE(messages.shown.isEmpty() && events.isEmpty());  // cancelled both times
    s.rec.recordName = "a_much_longer_record_name";
    EXPECT_EQ(Exporter().GraphFileName(), "a_much_longer_r_P1");
    s.table.setRows(1);  // without records: said so, without a dialog
    s.table.setRows(2);
    Exporter().saveGraphPicture();
    EXPECT_EQ(dialogs.requests.size(), 2);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "No graph found.");
    EXPECT_EQ(s.rec.state, kRunCommand);
}

// A name without a picture extension gets the one of the chosen type.
TEST_F(ImageExportTest, FileContentFollowsTheNameOrTheChosenType) {
    const struct {
        const char* file;
        int filter;
        const char *written, *format;
    } cases[] = {{"g.bmp", 0, "g.bmp", "bmp"},         {"g.jpg", 1, "g.jpg", "jpeg"},
                 {"h.JPG", 0, "h.JPG", "jpeg"},        {"k.jpeg", 2, "k.jpeg", "jpeg"},
                 {"graph.png", 0, "graph.png", "png"}, {"noext", 1, "noext.jpg", "jpeg"},
                 {"plain", 2, "plain.png", "png"},     {"notes.txt", 0, "notes.txt.bmp", "bmp"}};
    for (const auto& c : cases) {
        EXPECT_EQ(SaveGraph(dir.filePath(c.file), c.filter), "File Saved ok!") << c.file;
        QImageReader reader(dir.filePath(c.written));
        EXPECT_EQ(reader.format(), QByteArray(c.format)) << c.file;
        EXPECT_EQ(reader.read().size(), QSize(640, 240)) << c.file;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("notes.txt")));
    const QImage bmp(dir.filePath("g.bmp"));
    EXPECT_EQ(bmp.pixel(10, 120), qRgb(200, 0, 0));
    EXPECT_EQ(bmp.pixel(10, 10), qRgb(255, 255, 255));
    // The name the extension is added to exists already: asked first; No keeps it.
    ASSERT_TRUE(test::WriteAll(dir.filePath("notes.txt.bmp"), "keep me"));
    for (const MsgResult reply : {MsgResult::No, MsgResult::Yes}) {
        messages.replies = {reply};
        EXPECT_EQ(SaveGraph(dir.filePath("notes.txt")),
                  "notes.txt.bmp already exists.\nDo you want to replace it?");
        EXPECT_EQ(QImageReader(dir.filePath("notes.txt.bmp")).canRead(), reply == MsgResult::Yes);
    }
    // Failures name the path and the reason.
    QDir(dir.path()).mkdir("folder.png");
    for (const auto& [path, reason] :
         {std::pair(dir.filePath("folder.png"), "folder"),
          {dir.filePath("no/such/dir/g.bmp"), "No such file or directory"}}) {
        const QString text = SaveGraph(path);
        EXPECT_TRUE(text.contains(path + ": ") && text.contains(reason)) << text.toStdString();
        EXPECT_EQ(messages.shown.value(0).icon, MsgIcon::Critical);
    }
}

TEST_F(ImageExportTest, SaveScreenCapturesAtNormalSizeAndRestoresMaximized) {
    maximized = true;
    dialogs.answers = {{dir.filePath("screen.bmp"), 0}};
    Exporter().saveWindowPicture();
    EXPECT_EQ(events, (QStringList{"leave", "wait 200", "grab", "restore"}));
    EXPECT_EQ(QImage(dir.filePath("screen.bmp")).size(), QSize(320, 200));
    EXPECT_EQ(s.rec.state, kRunCommand);
    // Nothing captured: said so, and no file.
    capture.grab = [] { return QImage(); };
    dialogs.answers = {{dir.filePath("s.bmp"), 0}};
    Exporter().saveWindowPicture();
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[1].text.contains(dir.filePath("s.bmp")));
    EXPECT_FALSE(QFile::exists(dir.filePath("s.bmp")));
}

}  // namespace
}  // namespace quillon

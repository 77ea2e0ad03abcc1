#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include "export.h"
#include "link_networks.h"
#include "painter_canvas.h"
#include "report/draw_report.h"
#include "verify/p272.h"

namespace qv::render {
namespace {

RecordingCanvas drawing(const LinkMatrix& target, std::vector<std::string> labels = {}) {
    RecordingCanvas c;
    DrawReport(c, exampleReportData("Sample272_2", ExampleNet1(), target, std::move(labels),
                                    {0.429, 0.794, 50, 50, 50, 50, 50, 50}));
    return c;
}

bool isRed(QRgb p) {
    return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
}
bool isInk(QRgb p) {
    return qGray(p) < 128;
}

int count(const QImage& image, QRect area, bool (*test)(QRgb)) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

TEST(RenderImage, StdLinksRedOnlyInTheFirstPanelAndLinksInTheirPanels) {
    const QImage image = renderImage(drawing(ExampleNet2()));
    ASSERT_EQ(image.size(), QSize(800, 600));
    // A-C (nodes (150, 40) and (257, 174)) is a Miss link: red in panel 0,
    // ink in the Miss panel, nothing in the Match panel.
    EXPECT_TRUE(isRed(image.pixel(203, 107)) || isRed(image.pixel(204, 107)));
    EXPECT_EQ(
        count(image, QRect(305, 5, 290, 280), isRed) + count(image, QRect(5, 305, 590, 290), isRed),
        0);
    EXPECT_FALSE(isInk(image.pixel(203 + 300, 107)) || isInk(image.pixel(204 + 300, 107)));
    EXPECT_TRUE(isInk(image.pixel(203, 107 + 300)) || isInk(image.pixel(204, 107 + 300)));
    EXPECT_TRUE(isInk(image.pixel(150, 10)) && isInk(image.pixel(150, 11)));  // 3-pixel frames
    // The standard itself: the Miss and Over circles stay empty.
    const QImage same = renderImage(drawing(ExampleNet1()));
    for (QPoint centre : {QPoint(150, 450), QPoint(450, 450)})
        EXPECT_EQ(count(same, QRect(centre - QPoint(70, 70), QSize(140, 140)), isInk), 0);
    EXPECT_GT(count(same, QRect(380, 80, 140, 140), isInk), 100);
}

TEST(RenderImage, ChineseLabelsFitAndTheSurfaceGrows) {
    const QFontMetricsF metrics(drawingFont());
    EXPECT_TRUE(metrics.inFontUcs4(U'概')) << QFontInfo(drawingFont()).family().toStdString();
    // The widest rate line a run can store stays inside the 800-pixel surface.
    EXPECT_LT(620 + metrics.horizontalAdvance(QStringLiteral("Match Links on Target =  66.667 %")),
              800);
    const QImage image = renderImage(drawing(ExampleNet2(), {" 加法", " 減法\n"}), 2);
    EXPECT_EQ(image.size(), QSize(1600, 1200));
    // Ink where "1 :   加法" stands (x 620.., y 230..), at twice the size.
    EXPECT_GT(count(image, QRect(1280, 460, 80, 30), isInk), 20);
    // The 30th concept line is not cut off; the surface grows down only.
    RecordingCanvas c(fontMeasure());
    DrawReport(c,
               exampleReportData("S", test::linkNetwork(30, {{0, 29}}), test::linkNetwork(30, {}),
                                 {" 很長很長很長很長很長很長的概念名稱"}, {}));
    EXPECT_GT(pictureSize(c).height(), 230 + 29 * 15);
    EXPECT_EQ(pictureSize(c).width(), 800);
}

// However long the labels and the ID, the report is as large as one with
// short ones: each text is cut, "…" at its end, where the surface ends.
TEST(RenderImage, LongLabelsAreElidedInsideTheSurface) {
    const auto report = [](std::string label, std::string caption) {
        RecordingCanvas c(fontMeasure());
        DrawReport(c, exampleReportData(std::move(caption), ExampleNet1(), ExampleNet2(),
                                        std::vector<std::string>(7, label), {}));
        return c;
    };
    std::string longLabel;
    for (int i = 0; i < 1000; ++i)
        longLabel += "概念 label ";  // 10,000 characters
    const RecordingCanvas normal = report(" 加法", "S");
    const RecordingCanvas elided = report(longLabel, std::string(10'000, '9'));
    EXPECT_EQ(pictureSize(elided), pictureSize(normal));
    const QFontMetricsF metrics(drawingFont());
    int cut = 0;
    for (const CanvasOp& op : elided.ops()) {
        if (op.kind != CanvasOp::Kind::Text || op.from.x < 600) continue;
        EXPECT_LE(op.from.x + metrics.horizontalAdvance(QString::fromStdString(op.text)),
                  kSurfaceWidth - kSurfaceMargin);
        if (op.text.ends_with("…")) ++cut;
    }
    EXPECT_EQ(cut, 7 + 1);  // every concept and the ID
}

// Chart texts are placed by the canvas: a vertical label stands on its
// anchor, a right-aligned one ends at it; both in their own colour.
TEST(RenderImage, ChartTextsAndRectangles) {
    RecordingCanvas c;
    c.fillRect({10, 10}, 30, 20, {0, 0, 255});
    TextStyle vertical{.colour = {255, 0, 0}, .vertical = true};
    c.drawText({100, 200}, "概念甲", vertical);
    TextStyle right{.colour = {255, 0, 0}, .align = TextAlign::Right};
    c.drawText({400, 300}, "右邊", right);
    const QImage image = renderImage(c);
    EXPECT_EQ(image.pixel(25, 20), qRgb(0, 0, 255));
    const QRectF column = styledTextBox({100, 200}, QStringLiteral("概念甲"), vertical);
    EXPECT_DOUBLE_EQ(column.bottom(), 200);
    EXPECT_GT(column.height(), 2.5 * column.width());
    EXPECT_GT(count(image, column.toAlignedRect(), isRed), 20);
    EXPECT_EQ(count(image, QRect(100 - 20, 201, 40, 40), isRed), 0);
    EXPECT_DOUBLE_EQ(styledTextBox({400, 300}, QStringLiteral("右邊"), right).right(), 400);
    EXPECT_GT(count(image, QRect(370, 300, 30, 16), isRed), 10);
    EXPECT_EQ(count(image, QRect(401, 300, 30, 16), isRed), 0);
}

TEST(Export, SvgKeepsTheTextAndThePdfBookItsPages) {
    QTemporaryDir dir;
    const QString svg = dir.filePath("r.svg"), book = dir.filePath("book.pdf");
    const auto path = [](const QString& p) { return std::filesystem::path(p.toStdString()); };
    ASSERT_TRUE(writeSvg(drawing(ExampleNet2()), path(svg), "Sample272_2"));
    QFile svgFile(svg);
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    const QByteArray svgText = svgFile.readAll();
    EXPECT_TRUE(svgText.contains("STD &amp; Target"));
    EXPECT_TRUE(svgText.contains("viewBox=\"0 0 800 600\""));
    {
        PdfBook b(path(book), "class");
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(b.addPage(drawing(ExampleNet2())));
        ASSERT_TRUE(b.finish());
    }
    QFile pdf(book);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray pdfText = pdf.readAll();
    EXPECT_EQ(pdfText.count("/Type /Page") - pdfText.count("/Type /Pages"), 3);
    EXPECT_EQ(exportFormatOf("a/b.PNG"), ExportFormat::Png);
    EXPECT_FALSE(exportFormatOf("pdf").has_value());
    // A failed write says why and leaves what was there.
    const auto full = writePng(drawing(ExampleNet2()), "/dev/full");
    ASSERT_FALSE(full);
    EXPECT_NE(full.error().message().find("磁碟空間不足"), std::string::npos);
    EXPECT_EQ(QFile(svg).size(), svgText.size());
}

// A page that cannot be drawn fails the book with the file and the page
// named, and the PDF that was there stays as it was.
TEST(Export, FailedPageFailsTheBookAndKeepsTheOldFile) {
    QTemporaryDir dir;
    const std::filesystem::path book = (dir.path() + "/class.pdf").toStdString();
    {
        QFile old(dir.filePath("class.pdf"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old book");
    }
    {
        PdfBook b(book, "class");
        ASSERT_TRUE(b.addPage(drawing(ExampleNet2())));
        EXPECT_FALSE(b.addPage([](QPainter&, const QRectF&) { return false; }));
        EXPECT_FALSE(b.addPage(drawing(ExampleNet2())));
        const auto done = b.finish();
        ASSERT_FALSE(done);
        EXPECT_NE(done.error().message().find("class.pdf」：無法繪製第 2 頁"), std::string::npos)
            << done.error().message();
    }
    QFile pdf(dir.filePath("class.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.readAll(), "old book");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"class.pdf"});
}

}  // namespace
}  // namespace qv::render

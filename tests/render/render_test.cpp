#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
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

RecordingCanvas page272() {
    RecordingCanvas c;
    DrawReport(c, exampleReportData("Sample272_2", ExampleNet1(), ExampleNet2(),
                                    {"A", "B", "C", "D", "E", "F", "G"},
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

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Page objects of a PDF, not counting the /Pages tree node.
int pdfPages(const QByteArray& pdf) {
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0;
         at = pdf.indexOf("/Type /Page", at + 1))
        if (pdf.mid(at + 11, 1) != "s") ++pages;
    return pages;
}

TEST(RenderImage, StdLinksRedOnlyInThePanelOfBoth) {
    const QImage image = renderImage(page272());
    ASSERT_EQ(image.size(), QSize(800, 600));
    // A-C (nodes (150, 40) and (257, 174)) is a Miss link: red alone in panel 0.
    EXPECT_TRUE(isRed(image.pixel(203, 107)) || isRed(image.pixel(204, 107)));
    EXPECT_GT(count(image, QRect(11, 11, 278, 268), isRed), 500);
    EXPECT_EQ(count(image, QRect(305, 5, 290, 280), isRed), 0);
    EXPECT_EQ(count(image, QRect(5, 305, 590, 290), isRed), 0);
    // The frames are drawn 3 pixels wide in ink.
    EXPECT_TRUE(isInk(image.pixel(150, 10)) && isInk(image.pixel(150, 11)));
    // A Miss link of 1-2 (A-C) is absent from the Match panel, present in the Miss panel.
    EXPECT_FALSE(isInk(image.pixel(203 + 300, 107)) || isInk(image.pixel(204 + 300, 107)));
    EXPECT_TRUE(isInk(image.pixel(203, 107 + 300)) || isInk(image.pixel(204, 107 + 300)));
}

TEST(RenderImage, NetworkEqualToTheStandardLeavesMissAndOverEmpty) {
    RecordingCanvas c;
    DrawReport(c, exampleReportData("S", ExampleNet1(), ExampleNet1(), {}, {}));
    const QImage image = renderImage(c);
    // Inside the circles of panels 2 and 3 (labels lie outside radius 110).
    for (QPoint centre : {QPoint(150, 450), QPoint(450, 450)})
        EXPECT_EQ(count(image, QRect(centre - QPoint(70, 70), QSize(140, 140)), isInk), 0);
    EXPECT_GT(count(image, QRect(QPoint(80, 80), QSize(140, 140)), isInk), 100);
    EXPECT_GT(count(image, QRect(QPoint(380, 80), QSize(140, 140)), isInk), 100);
}

TEST(RenderImage, ChineseLabelsAndTheReportColumnFit) {
    const QFont font = drawingFont();
    EXPECT_TRUE(QFontInfo(font).family().contains(QLatin1String("CJK")))
        << QFontInfo(font).family().toStdString();
    const QFontMetricsF metrics(font);
    EXPECT_TRUE(metrics.inFontUcs4(U'概'));
    // The widest rate line a run can store stays inside the 800-pixel surface.
    EXPECT_LT(620 + metrics.horizontalAdvance(QStringLiteral("Match Links on Target =  66.667 %")),
              800);

    ReportData d = exampleReportData("S", ExampleNet1(), ExampleNet2(), {" 加法", " 減法\n"}, {});
    RecordingCanvas c;
    DrawReport(c, d);
    const QImage image = renderImage(c, 2);
    EXPECT_EQ(image.size(), QSize(1600, 1200));
    // Ink where "1 :   加法" stands (x 620.., y 230..), at twice the size.
    EXPECT_GT(count(image, QRect(1240 + 40, 460, 80, 30), isInk), 20);
}

TEST(RenderImage, GrowsForContentBeyondTheSurface) {
    RecordingCanvas c;
    DrawReport(c, exampleReportData("S", qv::test::linkNetwork(30, {{0, 29}}),
                                    qv::test::linkNetwork(30, {}),
                                    {std::string(" ") + "很長很長很長很長很長很長的概念名稱"}, {}));
    const QSize size = pictureSize(c);
    EXPECT_GT(size.height(), 230 + 29 * 15);  // the 30th concept line is not cut off
    EXPECT_GT(size.width(), 800);
    EXPECT_EQ(pictureSize(page272()), QSize(800, 600));
}

TEST(Export, FormatsByExtension) {
    EXPECT_EQ(exportFormatOf("a/b.PNG"), ExportFormat::Png);
    EXPECT_EQ(exportFormatOf("b.svg"), ExportFormat::Svg);
    EXPECT_EQ(exportFormatOf("b.pdf"), ExportFormat::Pdf);
    EXPECT_FALSE(exportFormatOf("b.jpg").has_value());
    EXPECT_FALSE(exportFormatOf("pdf").has_value());
}

TEST(Export, SvgPdfAndPng) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto at = [&dir](const char* name) { return std::filesystem::path(dir.filePath(name).toStdString()); };
    const std::filesystem::path svg = at("r.svg"), pdf = at("r.pdf"), png = at("r.png");
    ASSERT_TRUE(writeSvg(page272(), svg, "Sample272_2"));
    const QByteArray svgText = readAll(QString::fromStdString(svg.string()));
    EXPECT_TRUE(svgText.contains("Sample272_2"));
    EXPECT_TRUE(svgText.contains("STD &amp; Target"));
    EXPECT_TRUE(svgText.contains("viewBox=\"0 0 800 600\""));

    ASSERT_TRUE(writePdf(page272(), pdf, "Sample272_2"));
    const QByteArray pdfData = readAll(QString::fromStdString(pdf.string()));
    EXPECT_TRUE(pdfData.startsWith("%PDF"));
    EXPECT_EQ(pdfPages(pdfData), 1);

    ASSERT_TRUE(writePng(page272(), png, 1.5));
    EXPECT_EQ(QImage(QString::fromStdString(png.string())).size(), QSize(1200, 900));

    const std::filesystem::path book = at("book.pdf");
    {
        PdfBook b(book, "class");
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(b.addPage(page272()));
        ASSERT_TRUE(b.finish());
    }
    EXPECT_EQ(pdfPages(readAll(QString::fromStdString(book.string()))), 3);

    const auto missing = writePdf(page272(), at("missing/x.pdf"), "x");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().message().find("資料夾不存在"), std::string::npos);
    EXPECT_FALSE(writePng(page272(), at("missing/x.png")));
    // A failed write keeps the old file.
    EXPECT_FALSE(writeSvg(page272(), "/dev/full", "x"));
}

}  // namespace
}  // namespace qv::render

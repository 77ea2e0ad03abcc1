// Writes the program's icon for the desktop's icon theme: hicolor/<n>x<n>/apps
// PNGs and hicolor/scalable/apps as SVG, all drawn by the program's own logo code.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

#include "logo.h"

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("用法: render_icons 輸出資料夾 圖示名稱\n", stderr);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        qv::app::drawIcon(p, size);
        p.end();
        if (!root.mkpath(folder) || !image.save(root.filePath(folder + "/" + name + ".png")))
            return 1;
    }
    constexpr int kSvgSize = 256;
    if (!root.mkpath(QStringLiteral("scalable/apps"))) return 1;
    QSvgGenerator svg;
    svg.setFileName(root.filePath(QStringLiteral("scalable/apps/") + name + ".svg"));
    svg.setSize(QSize(kSvgSize, kSvgSize));
    svg.setViewBox(QRect(0, 0, kSvgSize, kSvgSize));
    svg.setTitle(QStringLiteral("Quorvane"));
    QPainter p(&svg);
    qv::app::drawIcon(p, kSvgSize);
    return p.end() ? 0 : 1;
}

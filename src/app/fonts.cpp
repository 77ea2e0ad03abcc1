#include "fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace qv::app {

namespace {

// Traditional Chinese faces, best first: Windows, macOS, then the free ones.
const QStringList kKaiFaces = {QStringLiteral("DFKai-SB"),      QStringLiteral("BiauKai"),
                               QStringLiteral("AR PL UKai TW"), QStringLiteral("AR PL UKai TW MBE"),
                               QStringLiteral("AR PL UKai HK"), QStringLiteral("TW-Kai")};
const QStringList kSansFaces = {
    QStringLiteral("Microsoft JhengHei UI"), QStringLiteral("Microsoft JhengHei"),
    QStringLiteral("PingFang TC"),           QStringLiteral("Noto Sans CJK TC"),
    QStringLiteral("Noto Sans TC"),          QStringLiteral("Source Han Sans TC")};

QString firstInstalled(const QStringList& faces) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& face : faces) {
        if (installed.contains(face, Qt::CaseInsensitive)) return face;
    }
    return {};
}

}  // namespace

void installFonts() {
    QFont::insertSubstitutions(kKaiFamily, kKaiFaces);
    const QString sans = firstInstalled(kSansFaces);
    if (sans.isEmpty()) return;
    QFont font = QApplication::font();
    font.setFamilies({sans});
    // CJK text needs a little more size than the platform's Latin default.
    if (font.pointSize() > 0 && font.pointSize() < 10) font.setPointSize(10);
    QApplication::setFont(font);
}

QFont kaiFont(int pointSize) {
    QFont font(kKaiFamily, pointSize);
    font.setFamilies({kKaiFamily});
    font.setStyleHint(QFont::Serif);
    return font;
}

}  // namespace qv::app

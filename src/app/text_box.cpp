#include "text_box.h"

#include "core/state.h"

namespace qv::app {

QString toDisplayText(std::string_view model) {
    QString text = QString::fromUtf8(model.data(), static_cast<qsizetype>(model.size()));
    text.replace(QString::fromLatin1(kLineBreak.data(), kLineBreak.size()), QStringLiteral("\n"));
    // A stray CR would show as a second line break in some boxes.
    text.remove(QLatin1Char('\r'));
    return text;
}

std::string toModelText(const QString& display) {
    QString text = display;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QString::fromLatin1(kLineBreak.data(), kLineBreak.size()));
    return text.toStdString();
}

}  // namespace qv::app

#include "translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace qv::app {

QStringList qtTranslationFolders() {
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
}

std::unique_ptr<QTranslator> loadQtTranslation(const QStringList& folders) {
    for (const QString& folder : folders) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(QStringLiteral("qtbase_zh_TW"), folder)) return translator;
    }
    return nullptr;
}

}  // namespace qv::app

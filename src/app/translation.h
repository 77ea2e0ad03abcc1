#pragma once

#include <QStringList>
#include <memory>

class QTranslator;

namespace qv::app {

// Where Qt's translations may be: Qt's own folder, then "translations" next
// to the program (where a deployed copy carries them).
QStringList qtTranslationFolders();

// Qt's texts (standard buttons, file and print dialogs) in Traditional
// Chinese, from the first folder that has them; null when none has, and Qt
// then stays in English. The caller installs and owns the result.
std::unique_ptr<QTranslator> loadQtTranslation(const QStringList& folders = qtTranslationFolders());

}  // namespace qv::app

#include "application.h"

#include <QApplication>

#include "data_folders.h"
#include "dialogs.h"
#include "fonts.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "identity.h"
#include "logo.h"
#include "translation.h"

namespace qv::app {

Application::Application() : Application(std::make_unique<QtDialogs>(), nullptr) {}

Application::Application(Dialogs& dialogs) : Application(nullptr, &dialogs) {}

Application::Application(std::unique_ptr<Dialogs> own, Dialogs* given)
    : ownDialogs_(std::move(own)), context_(given ? *given : *ownDialogs_) {
    setApplicationIdentity();
    installFonts();
    qtTranslation_ = loadQtTranslation();
    if (qtTranslation_) QCoreApplication::installTranslator(qtTranslation_.get());
    QApplication::setWindowIcon(applicationIcon());
}

Application::~Application() = default;

frmMain& Application::start(const QString& appDir, const QString& fallback,
                            const QStringList& paths) {
    auto splash = std::make_unique<frmSplash>();
    splash->showNow();

    setDataFolders(context_, dataRoot(appDir, fallback));
    main_ = std::make_unique<frmMain>(context_);
    main_->load();

    splash->close();
    splash.reset();
    main_->show();
    main_->openPaths(paths);
    return *main_;
}

frmMain& Application::start() {
    return start(QCoreApplication::applicationDirPath(), documentsDataRoot(),
                 QCoreApplication::arguments().mid(1));
}

}  // namespace qv::app

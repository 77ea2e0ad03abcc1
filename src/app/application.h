#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>
#include <memory>

#include "app_context.h"

namespace qv::app {

class Dialogs;
class frmMain;

// The program: its identity, fonts, Qt's texts in Chinese, dialogs, shared
// state and main window.
class Application {
  public:
    // With Qt's own dialogs, or with the given ones (tests answer them).
    Application();
    explicit Application(Dialogs& dialogs);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Start-up: the splash shows while the main window is built and loaded
    // (which creates the data folders under dataRoot(appDir, fallback)), then
    // the splash closes, the main window shows and opens what `paths` name
    // (a class folder, as frmMain::openPaths takes them).
    frmMain& start(const QString& appDir, const QString& fallback, const QStringList& paths = {});
    // As above with the program's folder, documentsDataRoot() and the command
    // line's arguments.
    frmMain& start();

    AppContext& context() { return context_; }
    frmMain* mainWindow() const { return main_.get(); }

  private:
    Application(std::unique_ptr<Dialogs> own, Dialogs* given);

    std::unique_ptr<QTranslator> qtTranslation_;  // removes itself when destroyed
    std::unique_ptr<Dialogs> ownDialogs_;
    AppContext context_;
    std::unique_ptr<frmMain> main_;
};

}  // namespace qv::app

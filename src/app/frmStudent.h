#pragma once

#include <functional>
#include <memory>

#include <QMainWindow>
#include <QPrinter>

#include "report/canvas.h"

class QAction;
class QMenu;
class QScrollArea;

namespace qv::app {

class Dialogs;
class StudentSurface;

// The print window: a drawing surface whose picture is kept (recorded), shown
// while the window is open and printed from its menu. Closing discards it.
class frmStudent : public QMainWindow {
    Q_OBJECT
  public:
    // Runs the printer dialog on `printer`; true when the user accepted.
    using PrintDialogRunner = std::function<bool(QPrinter& printer, QWidget* parent)>;

    explicit frmStudent(Dialogs& dialogs, QWidget* parent = nullptr);
    ~frmStudent() override;

    // What is drawn here is added to the picture; a caption becomes the title.
    Canvas& canvas();
    const RecordingCanvas& picture() const { return picture_; }

    // Shows the window modeless, centred on the screen when it first appears.
    void showCentred();

    void setPrintDialogRunner(PrintDialogRunner runner) { runDialog_ = std::move(runner); }
    QPrinter& printer() { return printer_; }
    // Prints the current picture on the current printer, one page.
    bool printPicture();

  public slots:
    void onSetup();
    void onStart();

  private:
    class WindowCanvas;
    friend class WindowCanvas;

    void record();
    void fitToSurface();
    void buildMenu();
    bool needsPrinterChoice() const;

    Dialogs& dialogs_;
    RecordingCanvas picture_;
    std::unique_ptr<WindowCanvas> canvas_;
    QPrinter printer_;
    PrintDialogRunner runDialog_;
    QScrollArea* scroll_ = nullptr;
    StudentSurface* surface_ = nullptr;
    bool placed_ = false;
};

}  // namespace qv::app

#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QMainWindow>
#include <QPrinter>

#include "layout/force_layout.h"
#include "report/canvas.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QScrollArea;

namespace qv::app {

class Dialogs;
class StudentSurface;

// The print window: a drawing surface whose picture is kept (recorded), shown
// while the window is open and printed from its menu. Closing discards it.
// Its layout setting (cboLayout, beside the menu) places the concepts of the
// student reports drawn on it; changing it draws them again.
class frmStudent : public QMainWindow {
    Q_OBJECT
  public:
    // Runs the printer dialog on `printer`; true when the user accepted.
    using PrintDialogRunner = std::function<bool(QPrinter& printer, QWidget* parent)>;

    explicit frmStudent(Dialogs& dialogs, QWidget* parent = nullptr);
    ~frmStudent() override;

    // What is drawn here is added to the picture; a caption becomes the title.
    Canvas& canvas();

    // Draws a student report in the window's layout, and again in the new
    // layout when the setting changes while the picture holds nothing but
    // such reports. Anything drawn otherwise leaves the picture as it is.
    using ReportDrawing = std::function<void(Canvas&, NodeLayout)>;
    void drawReport(ReportDrawing drawing);

    // Whether the picture is only student reports (and holds one).
    bool showsReports() const { return onlyReports_ && !reports_.empty(); }
    // A line under the picture, e.g. that its reports are of an older class;
    // cleared by the next report drawn.
    void setNote(const QString& text);
    QString note() const;

    NodeLayout nodeLayout() const;
    // Sets the setting as the program remembered it; nothing is drawn again.
    void setNodeLayout(NodeLayout layout);
    // Called when the user picks another layout.
    void setLayoutChosen(std::function<void(NodeLayout)> chosen) { chosen_ = std::move(chosen); }
    const RecordingCanvas& picture() const { return picture_; }

    // Shows the window modeless, centred on the screen when it first appears.
    void showCentred();

    void setPrintDialogRunner(PrintDialogRunner runner) { runDialog_ = std::move(runner); }
    // Refuses a PDF file that must not be written (a loaded input).
    void setOutputCheck(std::function<std::optional<QString>(const QString&)> check) {
        outputCheck_ = std::move(check);
    }
    QPrinter& printer() { return printer_; }
    // Prints the current picture on the current printer, one page; a PDF file
    // is written whole or not at all, and a failure is shown naming it.
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
    void onLayoutPicked();
    bool needsPrinterChoice() const;

    Dialogs& dialogs_;
    RecordingCanvas picture_;
    std::unique_ptr<WindowCanvas> canvas_;
    QPrinter printer_;
    PrintDialogRunner runDialog_;
    std::function<std::optional<QString>(const QString&)> outputCheck_;
    QScrollArea* scroll_ = nullptr;
    StudentSurface* surface_ = nullptr;
    bool placed_ = false;
    QComboBox* layout_ = nullptr;
    QLabel* note_ = nullptr;
    std::function<void(NodeLayout)> chosen_;
    std::vector<ReportDrawing> reports_;  // the picture, when it is only reports
    bool onlyReports_ = true;
    bool drawingReport_ = false;
};

}  // namespace qv::app

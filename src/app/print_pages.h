#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "core/expected.h"
#include "report/canvas.h"

class QPrinter;
class QWidget;

namespace qv::app {

class Dialogs;
struct AppContext;

// Why a file chosen for output must not be written, or nothing when it may.
using OutputCheck = std::function<std::optional<QString>(const QString& file)>;

// Refuses the loaded input files (however spelled): writing one would destroy
// the class being shown.
std::optional<QString> outputIsLoadedInput(const AppContext& context, const QString& output);

// The data file's name with `ext` (e.g. ".json"), in the documents folder:
// what an export's save dialog proposes.
QString suggestedExportFile(const QString& dataFile, const QString& ext);

// The save-file dialog for an export; empty when cancelled or when the chosen
// file is a loaded input (after saying so).
QString chooseExportFile(QWidget* parent, AppContext& context, const QString& title,
                         const QString& suggested, const QString& filter);

// The refusal of `check` for the PDF file the printer dialog chose, if any.
std::optional<QString> pdfTargetRefused(const QPrinter& printer, const OutputCheck& check);

// Drawings printed one per page, scaled to fit. When the printer dialog chose
// a PDF file, the pages go to that file through the PDF export instead, so
// that it is written whole or not at all like every other file.
class PageOutput {
  public:
    PageOutput(QPrinter& printer, const QString& title);
    ~PageOutput();
    PageOutput(const PageOutput&) = delete;
    PageOutput& operator=(const PageOutput&) = delete;

    // False once the output has failed; finish() then says why.
    bool add(const RecordingCanvas& page);
    Expected<void> finish();
    // Stops without finishing: a PDF file is not written, a print job is cancelled.
    void abandon();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Asks for the printer, then prints one drawing; a failure, or a PDF file
// that is a loaded input, is shown. False when cancelled or failed.
bool printPicture(QWidget* parent, AppContext& context, QPrinter& printer,
                  const RecordingCanvas& picture, const QString& title);

}  // namespace qv::app

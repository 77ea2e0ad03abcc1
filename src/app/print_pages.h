#pragma once

#include <QString>
#include <memory>

#include "core/expected.h"
#include "report/canvas.h"

class QPrinter;
class QWidget;

namespace qv::app {

class Dialogs;

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

// Asks for the printer, then prints one drawing; a failure is shown. False
// when cancelled or failed.
bool printPicture(QWidget* parent, Dialogs& dialogs, QPrinter& printer,
                  const RecordingCanvas& picture, const QString& title);

}  // namespace qv::app

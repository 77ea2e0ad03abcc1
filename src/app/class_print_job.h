#pragma once

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <cstddef>
#include <memory>
#include <vector>

#include "layout/force_layout.h"

class QPrinter;
class QWidget;

namespace qv {
struct RunResults;
}

namespace qv::app {

class Dialogs;
class PageOutput;

// A class of more students than this is not printed without asking: a
// mistaken click would otherwise bury the printer in pages.
inline constexpr std::size_t kPagesWithoutAsking = 500;
// Whether to print `pages` report pages: at once up to kPagesWithoutAsking,
// beyond that as the user answers.
bool confirmClassPrint(Dialogs& dialogs, QWidget* parent, std::size_t pages);

// The whole class printed, one report page per student in file order (the
// drawing of the report window, its concepts at `positions`: the circle when
// empty), with a progress dialog and its cancel button.
// The pages are drawn a few at a time from the event loop, so the program
// keeps repainting and the cancel is seen at once; the dialog is application
// modal, so nothing changes the class while it prints.
class ClassPrintJob final : public QObject {
    Q_OBJECT
  public:
    ClassPrintJob(std::shared_ptr<const RunResults> results, QPrinter& printer, QWidget* parent,
                  std::vector<PlanePoint> positions = {});
    ~ClassPrintJob() override;

    void start();
    bool running() const { return running_; }
    QProgressDialog* progressDialog() const { return dialog_; }

  signals:
    // After the last page or the cancel; `error` is empty unless it failed.
    void finished(bool cancelled, const QString& error);

  private:
    void printSome();
    void end(bool cancelled, const QString& error);

    std::shared_ptr<const RunResults> results_;
    std::vector<PlanePoint> positions_;
    std::unique_ptr<PageOutput> output_;
    QPointer<QProgressDialog> dialog_;
    int next_ = 0;
    bool running_ = false;
};

}  // namespace qv::app

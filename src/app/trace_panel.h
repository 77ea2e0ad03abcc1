#pragma once

#include <QWidget>
#include <optional>

namespace qv {
struct RunResults;
struct ClassSummary;
}  // namespace qv

class QLabel;
class QSplitter;
class QTableWidget;

namespace qv::app {

// Trace to the items: for a selected concept pair, the quiz items whose
// concepts include either concept, with the class's share of correct answers
// and, for a selected student, that student's answer and whether it was right.
class TracePanel final : public QWidget {
    Q_OBJECT
  public:
    explicit TracePanel(QWidget* parent = nullptr);

    // Concepts i and j (0-based), the student by record index.
    void showPair(const RunResults& results, const ClassSummary& summary, int i, int j,
                  std::optional<int> student);
    void clear();

    QTableWidget* table() const { return table_; }
    QString heading() const;

  private:
    QLabel* heading_ = nullptr;
    QTableWidget* table_ = nullptr;
};

// `above` over a new trace panel in `parent`, the panel 220 pixels high at
// first and growing a third as fast; the panel is returned in `trace`.
QSplitter* splitOverTrace(QWidget* parent, QWidget* above, int aboveHeight, TracePanel*& trace);

}  // namespace qv::app

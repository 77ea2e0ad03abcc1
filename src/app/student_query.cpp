#include "student_query.h"

#include "app_context.h"
#include "dialogs.h"
#include "frmStudent.h"
#include "report/draw_report.h"

namespace qv::app {

int showStudentQuery(AppContext& context, QWidget* parent, const QString& id,
                     const StudentWindowSource& window) {
    const std::shared_ptr<const RunResults> results = context.currentResults();
    if (!results) {
        context.dialogs.message(
            parent, QMessageBox::Information, QStringLiteral("查詢特定學生概念型態"),
            QStringLiteral("尚未有分析結果可以查詢。\n請先開啟資料檔、概念註解檔與題目所包含"
                           "概念檔，再從「執行」選單執行分析，然後查詢學生。"));
        return 0;
    }
    const std::string key = id.toStdString();
    const std::vector<int> found = findStudents(*results, key);
    if (found.empty()) return 0;
    frmStudent* w = window();
    w->showCentred();
    // Drawn from these results also when the layout changes after a new load
    // or run; the window then says they are old.
    w->drawReport([&context, results, found](Canvas& canvas, NodeLayout layout) {
        auto positions = reportPositions(*results, layout);
        if (!positions) {
            context.dialogs.message(nullptr, QMessageBox::Warning,
                                    QStringLiteral("查詢特定學生概念型態"),
                                    QString::fromStdString(positions.error().message()) +
                                        QStringLiteral("\n改用圓形版面。"));
            positions = std::vector<PlanePoint>{};
        }
        for (int k : found)
            DrawStudentReport(canvas, *results, k, *positions);
    });
    return static_cast<int>(found.size());
}

void showLayoutTest(const StudentWindowSource& window) {
    frmStudent* w = window();
    w->showCentred();
    DrawLayoutTest(w->canvas());
}

}  // namespace qv::app

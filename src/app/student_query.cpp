#include "student_query.h"

#include "app_context.h"
#include "dialogs.h"
#include "frmStudent.h"
#include "report/draw_report.h"

namespace qv::app {

int showStudentQuery(AppContext& context, QWidget* parent, const QString& id,
                     const StudentWindowSource& window) {
    const AppState& state = context.state;
    if (!reportsAvailable(state)) {
        context.dialogs.message(
            parent, QMessageBox::Information, QStringLiteral("查詢特定學生概念型態"),
            QStringLiteral("尚未有分析結果可以查詢。\n請先開啟資料檔、概念註解檔與題目所包含"
                           "概念檔，再從「執行」選單執行分析，然後查詢學生。"));
        return 0;
    }
    const std::vector<int> found = findStudents(state, id.toStdString());
    if (found.empty()) return 0;
    frmStudent* w = window();
    w->showCentred();
    for (int k : found)
        DrawStudentReport(w->canvas(), state, k);
    return static_cast<int>(found.size());
}

void showLayoutTest(const StudentWindowSource& window) {
    frmStudent* w = window();
    w->showCentred();
    DrawLayoutTest(w->canvas());
}

}  // namespace qv::app

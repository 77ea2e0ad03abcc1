// Every window's controls exist under the names that code and tests find them by.
#include <QTest>

#include "frmAbout.h"
#include "frmConceptNote.h"
#include "frmData.h"
#include "frmDebug.h"
#include "frmItemConcept.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "frmStudent.h"
#include "test_context.h"

using namespace qv::app;

class ControlsTest : public QObject {
    Q_OBJECT
  private slots:
    void everyWindowHasItsNamedControls() {
        test::TestContext t;
        frmMain main(t.context);
        frmAbout about(t.dialogs);
        frmSplash splash;
        frmStudent student(t.dialogs);
        frmDebug debug(t.context, {});
        frmData data(t.context);
        frmConceptNote notes(t.context);
        frmItemConcept items(t.context);
        const QString editor =
            "mnuFile mnuNew mnuOpen mnuSaveExit mnuExit DataFile 自動編號 "
            "DataInput_0 DataInput_1 ";
        const std::pair<QObject*, QString> windows[] = {
            {&main,
             "mnuFile mnuFileNew mnuData mnuConceptNote mnuItemConcept mnuFileOpen "
             "mnuOpenData mnuOpenConceptNote mnuOpenItemConcept mnuFileExit mnuRun "
             "mnuPathFinder01 mnuLevel01 mnuLeveln mnuTriangleRun mnuPathSearchRun "
             "mnuDebug mnuHelp mnuHelpContents mnuHelpSearchForHelpOn mnuHelpAbout Frame1 "
             "Label1 InquareID ShowID Frame2 計算特定概念型態 讀取特定概念距離矩陣 "
             "讀取標準概念距離矩陣 ShowResult Shape_0 Shape_1 Shape_2 Label4 進度 "
             "sbStatusBar lblLoadedFiles lblResultState"},
            {&about,
             "picIcon lblTitle lblVersion lblDescription lblDisclaimer Line1 cmdOK "
             "cmdSysInfo"},
            {&splash, "Frame1 picLogo lblProductName lblPlatform lblVersion lblWarning"},
            {&student, "mnuPrint mnuSetup mnuStart mnuExit"},
            {&debug,
             "Command1 Command2 Command3 Command4 Command5 Frame3 Label2_0 Label2_1 "
             "ForTest_0 ForTest_1 算則一速度測試 算則二速度測試 算則三速度測試 "
             "算則四速度測試 cmdCancel busyIndicator Label3 結果 進度"},
            {&data, editor + "DataInput_2 DataInput_3 DataInput_4 DataInput_5 DataInput_6 keyin "
                             "studentData"},
            {&notes, editor + "C_Note"},
            {&items, editor + "IC"},
        };
        for (const auto& [window, names] : windows)
            for (const QString& name : names.split(u' '))
                QVERIFY2(window->findChild<QObject*>(name),
                         qPrintable(window->objectName() + ": " + name));
    }
};

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"

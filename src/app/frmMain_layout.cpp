// Building the main window's controls and menus.
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <tuple>
#include <QVBoxLayout>

#include "core/limits.h"
#include "fonts.h"
#include "frmCompare.h"
#include "frmMain.h"
#include "indicator_light.h"

namespace qv::app {

namespace {

QPushButton* button(QWidget* parent, const QString& name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

void frmMain::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    auto* frame1 = new QGroupBox(QStringLiteral("查詢特定學生概念型態"), central);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* label1 = new QLabel(QStringLiteral("請輸入ID："), frame1);
    label1->setObjectName(QStringLiteral("Label1"));
    inquareId_ = new QLineEdit(QStringLiteral("90702001"), frame1);
    inquareId_->setObjectName(QStringLiteral("InquareID"));
    inquareId_->installEventFilter(this);
    label1->setBuddy(inquareId_);
    showId_ = button(frame1, QStringLiteral("ShowID"), QStringLiteral("確定"));
    auto* f1 = new QGridLayout(frame1);
    f1->addWidget(label1, 0, 0, 1, 2);
    f1->addWidget(inquareId_, 1, 0);
    f1->addWidget(showId_, 1, 1);
    connect(showId_, &QPushButton::clicked, this, &frmMain::onShowId);
    connect(inquareId_, &QLineEdit::returnPressed, this, &frmMain::onShowId);

    auto* frame2 = new QGroupBox(QStringLiteral("比較特定概念型態"), central);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* f2 = new QVBoxLayout(frame2);
    auto* layoutTest = button(frame2, QStringLiteral("計算特定概念型態"), QStringLiteral("確定"));
    connect(layoutTest, &QPushButton::clicked, this, &frmMain::onLayoutTest);
    f2->addWidget(layoutTest);
    // These two buttons carry no command.
    for (const QString& caption :
         {QStringLiteral("讀取特定概念距離矩陣"), QStringLiteral("讀取標準概念距離矩陣")}) {
        f2->addWidget(button(frame2, caption, caption));
    }

    showResult_ = new QPlainTextEdit(central);
    showResult_->setObjectName(QStringLiteral("ShowResult"));
    showResult_->setFont(kaiFont(12));
    showResult_->setLineWrapMode(QPlainTextEdit::NoWrap);
    showResult_->setReadOnly(true);
    showResult_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    showResult_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    showResult_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(10);
    for (int i = 0; i < 3; ++i) {
        lights_[static_cast<std::size_t>(i)] = new IndicatorLight(central);
        lights_[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("Shape_%1").arg(i));
        bottom->addWidget(lights_[static_cast<std::size_t>(i)]);
    }
    auto* label4 = new QLabel(QStringLiteral("3個燈都亮才按執行"), central);
    label4->setObjectName(QStringLiteral("Label4"));
    bottom->addSpacing(6);
    bottom->addWidget(label4);
    progress_ = new QProgressBar(central);
    progress_->setObjectName(QStringLiteral("進度"));
    progress_->setRange(0, kProgressMax);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    bottom->addSpacing(10);
    bottom->addWidget(progress_, 1);
    cancelRun_ = new QPushButton(QStringLiteral("取消"), central);
    cancelRun_->setObjectName(QStringLiteral("cmdCancelRun"));
    cancelRun_->setToolTip(QStringLiteral("停止執行中的分析，保留先前的結果"));
    cancelRun_->setEnabled(false);
    bottom->addWidget(cancelRun_);

    auto* left = new QVBoxLayout;
    left->addWidget(frame1);
    left->addWidget(frame2);
    left->addStretch();
    // The lights and the progress bar under the results rather than under
    // both columns: the window then needs no more height than the left
    // column's, and a low or scaled screen still shows them.
    auto* grid = new QGridLayout(central);
    grid->addLayout(left, 0, 0, 2, 1);
    grid->addWidget(showResult_, 0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
    grid->addLayout(bottom, 1, 1);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("sbStatusBar"));
    setStatusBar(status);
    // Labels rather than status messages, which a menu's hover would wipe.
    loadedStatus_ = new QLabel(status);
    loadedStatus_->setObjectName(QStringLiteral("lblLoadedFiles"));
    loadedStatus_->setContentsMargins(4, 0, 0, 0);
    // Long file names are cut rather than widen the window past the screen.
    loadedStatus_->setMinimumWidth(1);
    loadedStatus_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    status->addWidget(loadedStatus_, 1);
    methodStatus_ = new QLabel(status);
    methodStatus_->setObjectName(QStringLiteral("lblMethod"));
    status->addPermanentWidget(methodStatus_);
    staleStatus_ = new QLabel(status);
    staleStatus_->setObjectName(QStringLiteral("lblResultState"));
    status->addPermanentWidget(staleStatus_);
    showLoadState();
}

QAction* frmMain::addCommand(QWidget* menu, const char* name, const QString& text,
                             const QKeySequence& shortcut) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromUtf8(name));
    action->setShortcut(shortcut);
    menu->addAction(action);
    return action;
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    auto submenu = [this](QWidget* parent, const char* name, const QString& title) {
        auto* menu = new QMenu(title, parent);
        menu->setObjectName(QString::fromUtf8(name));
        menu->menuAction()->setObjectName(QString::fromUtf8(name));
        if (auto* m = qobject_cast<QMenu*>(parent)) m->addMenu(menu);
        if (auto* b = qobject_cast<QMenuBar*>(parent)) b->addMenu(menu);
        return menu;
    };

    QMenu* file = submenu(bar, "mnuFile", QStringLiteral("檔案(&F)"));
    QMenu* fileNew = submenu(file, "mnuFileNew", QStringLiteral("新增(&N)"));
    connect(addCommand(fileNew, "mnuData", QStringLiteral("資料檔(&D)")), &QAction::triggered, this,
            &frmMain::onNewData);
    connect(addCommand(fileNew, "mnuConceptNote", QStringLiteral("概念註解檔(&N)")),
            &QAction::triggered, this, &frmMain::onNewConceptNote);
    connect(addCommand(fileNew, "mnuItemConcept", QStringLiteral("題目所包含概念檔(&I)")),
            &QAction::triggered, this, &frmMain::onNewItemConcept);
    QMenu* fileOpen = submenu(file, "mnuFileOpen", QStringLiteral("開啟(&O)"));
    connect(addCommand(fileOpen, "mnuOpenData", QStringLiteral("資料檔(&D)"),
                       QKeySequence(Qt::CTRL | Qt::Key_D)),
            &QAction::triggered, this, &frmMain::onOpenData);
    connect(addCommand(fileOpen, "mnuOpenConceptNote", QStringLiteral("概念註解檔(&N)"),
                       QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this, &frmMain::onOpenConceptNote);
    connect(addCommand(fileOpen, "mnuOpenItemConcept", QStringLiteral("題目所包含概念檔(&I)"),
                       QKeySequence(Qt::CTRL | Qt::Key_I)),
            &QAction::triggered, this, &frmMain::onOpenItemConcept);
    connect(addCommand(file, "mnuOpenClassFolder", QStringLiteral("開啟班級資料夾(&C)…"),
                       QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &frmMain::onOpenClassFolder);
    recentMenu_ = submenu(file, "mnuRecentClasses", QStringLiteral("最近的班級(&R)"));
    fillRecentMenu();
    connect(addCommand(file, "mnuImportSheet", QStringLiteral("匯入試算表(&S)…")),
            &QAction::triggered, this, &frmMain::onImportSheet);
    connect(addCommand(file, "mnuExportJson", QStringLiteral("匯出 JSON(&J)…")),
            &QAction::triggered, this, &frmMain::onExportJson);
    QMenu* exports = submenu(file, "mnuExport", QStringLiteral("匯出(&E)"));
    for (const auto& [name, text, format] :
         {std::tuple{"mnuExportGraphml", "網路 GraphML(&G)…", GraphFormat::GraphMl},
          std::tuple{"mnuExportGml", "網路 GML(&M)…", GraphFormat::Gml},
          std::tuple{"mnuExportPajek", "網路 Pajek(&P)…", GraphFormat::Pajek}})
        connect(addCommand(exports, name, QString::fromUtf8(text)), &QAction::triggered, this,
                [this, format] { onExportNetworks(format); });
    connect(addCommand(exports, "mnuExportXlsx", QStringLiteral("活頁簿 XLSX(&X)…")),
            &QAction::triggered, this, &frmMain::onExportWorkbook);
    connect(addCommand(exports, "mnuExportLinks", QStringLiteral("長表格 CSV(&L)…")),
            &QAction::triggered, this, &frmMain::onExportLinks);
    connect(addCommand(file, "mnuFileExit", QStringLiteral("結束(&X)")), &QAction::triggered, this,
            &QWidget::close);

    // The first three run items carry no command.
    QMenu* run = submenu(bar, "mnuRun", QStringLiteral("執行(&R)"));
    addCommand(run, "mnuPathFinder01", QStringLiteral("原始算則"), QKeySequence(Qt::Key_F1));
    addCommand(run, "mnuLevel01", QStringLiteral("一階三角切割"), QKeySequence(Qt::Key_F2));
    addCommand(run, "mnuLeveln", QStringLiteral("多階三角切割"), QKeySequence(Qt::Key_F3));
    connect(addCommand(run, "mnuTriangleRun", QStringLiteral("Tamsel一階三角算則"),
                       QKeySequence(Qt::Key_F4)),
            &QAction::triggered, this, &frmMain::onTriangleRun);
    connect(addCommand(run, "mnuPathSearchRun", QStringLiteral("Tamsel一階路徑找尋"),
                       QKeySequence(Qt::Key_F5)),
            &QAction::triggered, this, &frmMain::onPathSearchRun);
    connect(addCommand(run, "mnuPfnetRun", QStringLiteral("標準 Pathfinder 網路(&S)…"),
                       QKeySequence(Qt::Key_F6)),
            &QAction::triggered, this, &frmMain::onPfnetRun);
    run->addSeparator();
    connect(addCommand(run, "mnuClassOverview", QStringLiteral("全班概覽(&O)…"),
                       QKeySequence(Qt::Key_F7)),
            &QAction::triggered, this, &frmMain::onClassOverview);
    connect(addCommand(run, "mnuCompare", QStringLiteral("比較兩組(&M)…")), &QAction::triggered,
            this, [this] { windows_.show<frmCompare>(context_); });

    connect(addCommand(bar, "mnuDebug", QStringLiteral("除錯模式(&D)")), &QAction::triggered, this,
            &frmMain::onDebug);

    QMenu* help = submenu(bar, "mnuHelp", QStringLiteral("說明(&H)"));
    connect(addCommand(help, "mnuHelpContents", QStringLiteral("內容(&C)")), &QAction::triggered,
            this, &frmMain::onHelpContents);
    connect(addCommand(help, "mnuHelpSearchForHelpOn", QStringLiteral("搜尋說明主題(&S)...")),
            &QAction::triggered, this, &frmMain::onHelpSearch);
    help->addSeparator()->setObjectName(QStringLiteral("mnuHelpBar0"));
    connect(addCommand(help, "mnuHelpAbout", QStringLiteral("關於(&A)")), &QAction::triggered, this,
            &frmMain::onHelpAbout);
}

}  // namespace qv::app

#include "frmStudent.h"

#include <algorithm>

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>

#include "dialogs.h"
#include "painter_canvas.h"
#include "print_pages.h"
#include "report/draw_report.h"
#include "screen_fit.h"

namespace qv::app {

// Paints the recorded picture in the window's own colours; grows (inside the
// scroll area) when a drawing reaches beyond 800 x 600.
class StudentSurface final : public QWidget {
  public:
    StudentSurface(const RecordingCanvas& picture, QWidget* parent)
        : QWidget(parent), picture_(picture) {
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Window);
        resize(kSurfaceWidth, kSurfaceHeight);
    }
    void reach(const CanvasOp& op) {
        extent_.add(op);
        if (extent_.size() != size()) resize(extent_.size());
    }
    void restart() {
        extent_ = render::PictureExtent();
        resize(kSurfaceWidth, kSurfaceHeight);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        render::paintPicture(painter, picture_, palette().color(QPalette::WindowText),
                             palette().color(QPalette::Window));
    }

  private:
    const RecordingCanvas& picture_;
    render::PictureExtent extent_;
};

class frmStudent::WindowCanvas final : public Canvas {
  public:
    explicit WindowCanvas(frmStudent& window) : w_(window) {}
    void setCaption(std::string_view caption) override {
        w_.picture_.setCaption(caption);
        w_.setWindowTitle(
            QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    }
    void setLineWidth(int pixels) override { w_.picture_.setLineWidth(pixels); }
    void drawLine(LayoutPoint from, LayoutPoint to) override {
        w_.picture_.drawLine(from, to);
        w_.record();
    }
    void drawLine(LayoutPoint from, LayoutPoint to, Rgb colour) override {
        w_.picture_.drawLine(from, to, colour);
        w_.record();
    }
    void drawText(LayoutPoint topLeft, std::string_view text) override {
        w_.picture_.drawText(topLeft, text);
        w_.record();
    }
    void fillRect(LayoutPoint topLeft, int width, int height, Rgb colour) override {
        w_.picture_.fillRect(topLeft, width, height, colour);
        w_.record();
    }
    void drawText(LayoutPoint anchor, std::string_view text, const TextStyle& style) override {
        w_.picture_.drawText(anchor, text, style);
        w_.record();
    }
    void drawDot(LayoutPoint centre, int diameter) override {
        w_.picture_.drawDot(centre, diameter);
        w_.record();
    }
    void drawLabel(LayoutPoint topLeft, std::string_view text) override {
        w_.picture_.drawLabel(topLeft, text);
        w_.record();
    }
    std::optional<double> textWidth(std::string_view text,
                                    const TextStyle& style) const override {
        return render::fontMeasure()(text, style);
    }

  private:
    frmStudent& w_;
};

namespace {

bool runQtPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("設定印表機"));
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

frmStudent::frmStudent(Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      canvas_(std::make_unique<WindowCanvas>(*this)),
      printer_(QPrinter::HighResolution),
      runDialog_(runQtPrintDialog) {
    setObjectName(QStringLiteral("frmStudent"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Form1"));
    printer_.setPageOrientation(QPageLayout::Landscape);
    printer_.setDocName(QStringLiteral("Quorvane"));

    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    surface_ = new StudentSurface(picture_, scroll_);
    scroll_->setWidget(surface_);
    setCentralWidget(scroll_);
    buildMenu();
    resizeWithinScreen(*this,
                       QSize(kSurfaceWidth, kSurfaceHeight + menuBar()->sizeHint().height()));
}

frmStudent::~frmStudent() = default;

void frmStudent::buildMenu() {
    QMenu* print = menuBar()->addMenu(QStringLiteral("列印(&P)"));
    print->setObjectName(QStringLiteral("mnuPrint"));
    QAction* setup = print->addAction(QStringLiteral("設定印表機(&S)"), this, &frmStudent::onSetup);
    setup->setObjectName(QStringLiteral("mnuSetup"));
    setup->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction* start = print->addAction(QStringLiteral("列印(&P)"), this, &frmStudent::onStart);
    start->setObjectName(QStringLiteral("mnuStart"));
    start->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    QAction* exit = menuBar()->addAction(QStringLiteral("結束(&X)"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("mnuExit"));

    auto* corner = new QWidget(this);
    auto* row = new QHBoxLayout(corner);
    row->setContentsMargins(0, 0, 6, 0);
    auto* label = new QLabel(QStringLiteral("概念位置："), corner);
    layout_ = new QComboBox(corner);
    layout_->setObjectName(QStringLiteral("cboLayout"));
    layout_->addItem(QStringLiteral("圓形"));
    layout_->addItem(QStringLiteral("力導向（依標準網路）"));
    label->setBuddy(layout_);
    row->addWidget(label);
    row->addWidget(layout_);
    menuBar()->setCornerWidget(corner);
    connect(layout_, &QComboBox::currentIndexChanged, this, &frmStudent::onLayoutPicked);
}

NodeLayout frmStudent::nodeLayout() const {
    return layout_->currentIndex() == 1 ? NodeLayout::Force : NodeLayout::Circle;
}

void frmStudent::setNodeLayout(NodeLayout layout) {
    const QSignalBlocker quiet(layout_);
    layout_->setCurrentIndex(layout == NodeLayout::Force ? 1 : 0);
}

void frmStudent::setNote(const QString& text) {
    if (!note_) {
        note_ = new QLabel(this);
        note_->setObjectName(QStringLiteral("lblNote"));
        note_->setStyleSheet(QStringLiteral("color: #a00000"));
        statusBar()->addWidget(note_, 1);
    }
    note_->setText(text);
    statusBar()->setVisible(!text.isEmpty());
}

QString frmStudent::note() const {
    return note_ ? note_->text() : QString();
}

void frmStudent::drawReport(ReportDrawing drawing) {
    if (note_) setNote({});
    drawingReport_ = true;
    drawing(*canvas_, nodeLayout());
    drawingReport_ = false;
    reports_.push_back(std::move(drawing));
}

void frmStudent::onLayoutPicked() {
    if (chosen_) chosen_(nodeLayout());
    if (!onlyReports_ || reports_.empty()) return;
    picture_.clear();
    surface_->restart();
    drawingReport_ = true;
    for (const ReportDrawing& drawing : reports_)
        drawing(*canvas_, nodeLayout());
    drawingReport_ = false;
    surface_->update();
}

Canvas& frmStudent::canvas() {
    return *canvas_;
}

void frmStudent::record() {
    if (!drawingReport_) onlyReports_ = false;
    const QSize before = surface_->size();
    surface_->reach(picture_.ops().back());
    if (surface_->size() != before) fitToSurface();
    surface_->update();
}

// The layout test and reports of many concepts reach a little past 800 x 600;
// scroll bars would then cover the labels at the edges. The window grows
// around its centre instead, as far as the screen allows.
void frmStudent::fitToSurface() {
    if (QLayout* l = layout()) l->activate();
    const QSize chrome = size() - scroll_->size();
    QSize wanted = size().expandedTo(surface_->size() + chrome);
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        resize(wanted);
        return;
    }
    const QRect available = screen->availableGeometry();
    const QSize frameExtra = frameGeometry().size() - size();
    wanted = wanted.boundedTo(available.size() - frameExtra);
    if (wanted == size()) return;
    const QPoint centre = frameGeometry().center();
    resize(wanted);
    if (!placed_) return;
    QRect frame(QPoint(), wanted + frameExtra);
    frame.moveCenter(centre);
    frame.moveLeft(
        std::clamp(frame.left(), available.left(), available.right() - frame.width() + 1));
    frame.moveTop(
        std::clamp(frame.top(), available.top(), available.bottom() - frame.height() + 1));
    move(frame.topLeft());
}

void frmStudent::showCentred() {
    show();
    if (!placed_) {
        placed_ = true;
        if (const QScreen* screen =
                this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    raise();
    activateWindow();
}

void frmStudent::onSetup() {
    runDialog_(printer_, this);
}

// Without an installed printer, or a PDF file chosen, the user picks one first.
bool frmStudent::needsPrinterChoice() const {
    if (!printer_.outputFileName().isEmpty()) return false;
    return printer_.outputFormat() == QPrinter::PdfFormat ||
           QPrinterInfo::availablePrinters().isEmpty();
}

void frmStudent::onStart() {
    if (needsPrinterChoice() && !runDialog_(printer_, this)) return;
    printPicture();
}

bool frmStudent::printPicture() {
    const auto refused = pdfTargetRefused(printer_, outputCheck_);
    auto done = refused ? Expected<void>(errorText(refused->toStdString())) : Expected<void>();
    if (done) {
        PageOutput out(printer_, windowTitle());
        out.add(picture_);
        done = out.finish();
    }
    if (!done) {
        dialogs_.message(this, QMessageBox::Warning, QStringLiteral("列印"),
                         QString::fromStdString(done.error().message()));
    }
    return done.ok();
}

}  // namespace qv::app

#include "frmHelp.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace qv::app {

namespace {

const QString kRoot = QStringLiteral(":/guide/");

// Reading order of the guide; the table of contents follows it.
const char* const kPages[] = {"index.html",   "install.html",  "spreadsheet.html",
                              "files.html",   "run.html",      "results.html",
                              "indices.html", "cli.html",      "troubleshooting.html"};

QString readPage(const QString& file) {
    QFile f(kRoot + file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

QString titleOf(const QString& html, const QString& fallback) {
    static const QRegularExpression title(QStringLiteral("<title>(.*)</title>"));
    const auto m = title.match(html);
    return m.hasMatch() ? m.captured(1) : fallback;
}

QString plainText(const QString& html) {
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText();
}

}  // namespace

bool frmHelp::available() { return QFile::exists(kRoot + QLatin1String(kPages[0])); }

frmHelp::frmHelp(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Quorvane 使用手冊"));
    resize(1000, 700);

    for (const char* file : kPages) {
        const QString name = QString::fromLatin1(file);
        const QString html = readPage(name);
        if (html.isEmpty()) continue;
        pages_.push_back({name, titleOf(html, name), plainText(html)});
    }

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(new QLabel(QStringLiteral("目錄"), side));
    contents_ = new QListWidget(side);
    contents_->setObjectName(QStringLiteral("lstHelpContents"));
    for (const Page& p : pages_) {
        auto* item = new QListWidgetItem(p.title, contents_);
        item->setData(Qt::UserRole, p.file);
    }
    sideLayout->addWidget(contents_, 2);
    sideLayout->addWidget(new QLabel(QStringLiteral("搜尋"), side));
    search_ = new QLineEdit(side);
    search_->setObjectName(QStringLiteral("txtHelpSearch"));
    search_->setPlaceholderText(QStringLiteral("輸入要找的字，例如 PFC"));
    search_->setClearButtonEnabled(true);
    sideLayout->addWidget(search_);
    results_ = new QListWidget(side);
    results_->setObjectName(QStringLiteral("lstHelpResults"));
    sideLayout->addWidget(results_, 1);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("txtHelpPage"));
    browser_->setSearchPaths({kRoot});
    browser_->setOpenExternalLinks(true);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(side);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({260, 740});
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);

    connect(contents_, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item) {
                if (item) showPage(item->data(Qt::UserRole).toString());
            });
    connect(search_, &QLineEdit::textChanged, this, &frmHelp::onSearch);
    connect(results_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        showPage(item->data(Qt::UserRole).toString());
        browser_->find(search_->text().trimmed());
    });
    connect(results_, &QListWidget::itemClicked, results_, &QListWidget::itemActivated);
    // A link between pages keeps the table of contents in step.
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        const QString file = url.fileName();
        for (int i = 0; i < contents_->count(); ++i) {
            if (contents_->item(i)->data(Qt::UserRole).toString() == file) {
                QSignalBlocker block(contents_);
                contents_->setCurrentRow(i);
            }
        }
    });

    if (!pages_.isEmpty()) showPage(pages_.front().file);
}

void frmHelp::showPage(const QString& page) {
    browser_->setSource(QUrl(QStringLiteral("qrc") + kRoot + page));
}

void frmHelp::startSearch() {
    search_->setFocus();
    search_->selectAll();
}

void frmHelp::onSearch() {
    results_->clear();
    const QString term = search_->text().trimmed();
    if (term.isEmpty()) return;
    for (const Page& p : pages_) {
        const int hits = static_cast<int>(p.text.count(term, Qt::CaseInsensitive));
        if (hits == 0) continue;
        auto* item = new QListWidgetItem(QStringLiteral("%1（%2 處）").arg(p.title).arg(hits), results_);
        item->setData(Qt::UserRole, p.file);
    }
    if (results_->count() == 0) {
        auto* none = new QListWidgetItem(QStringLiteral("找不到「%1」").arg(term), results_);
        none->setFlags(Qt::NoItemFlags);
    }
}

}  // namespace qv::app

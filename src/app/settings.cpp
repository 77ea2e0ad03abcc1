#include "settings.h"

#include "analysis/referent.h"
#include "app_context.h"

namespace qv::app {

namespace {

const QString kR = QStringLiteral("pfnet/r");
const QString kQ = QStringLiteral("pfnet/q");
const QString kReferent = QStringLiteral("pfnet/referent");
const QString kLayout = QStringLiteral("report/layout");
const QString kRecent = QStringLiteral("classes/recent");

void saveRecent(const AppContext& context, const QStringList& folders) {
    openSettings(context)->setValue(kRecent, folders.mid(0, kRecentClasses));
}

}  // namespace

std::unique_ptr<QSettings> openSettings(const AppContext& context) {
    if (!context.settingsFile.isEmpty())
        return std::make_unique<QSettings>(context.settingsFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Quorvane"), QStringLiteral("Quorvane"));
}

PfnetParams savedPfnetParams(const AppContext& context) {
    const auto settings = openSettings(context);
    PfnetParams params;
    params.r =
        settings->value(kR).toString() == QStringLiteral("1") ? PfnetR::One : PfnetR::Infinity;
    bool ok = false;
    // 0 (or nothing) stands for n - 1, whatever n the next class has.
    const int q = settings->value(kQ, 0).toInt(&ok);
    params.q = ok && q >= 2 ? q : 0;
    return params;
}

void savePfnetParams(const AppContext& context, PfnetParams params) {
    const auto settings = openSettings(context);
    settings->setValue(kR, params.r == PfnetR::One ? QStringLiteral("1") : QStringLiteral("inf"));
    settings->setValue(kQ, params.q);
}

ReferentChoice savedReferent(const AppContext& context) {
    const auto parsed =
        parseReferent(openSettings(context)->value(kReferent).toString().toStdString());
    // Matrix files are chosen on the command line only.
    if (!parsed || parsed->kind == ReferentKind::Matrix) return {};
    return parsed->choice();
}

void saveReferent(const AppContext& context, ReferentChoice referent) {
    openSettings(context)->setValue(kReferent, QString::fromStdString(referentKey(referent)));
}

NodeLayout savedNodeLayout(const AppContext& context) {
    return openSettings(context)->value(kLayout).toString() == QStringLiteral("force")
               ? NodeLayout::Force
               : NodeLayout::Circle;
}

void saveNodeLayout(const AppContext& context, NodeLayout layout) {
    openSettings(context)->setValue(
        kLayout, layout == NodeLayout::Force ? QStringLiteral("force") : QStringLiteral("circle"));
}

QStringList recentClassFolders(const AppContext& context) {
    QStringList folders = openSettings(context)->value(kRecent).toStringList();
    folders.removeAll(QString());
    folders.removeDuplicates();
    return folders.mid(0, kRecentClasses);
}

void rememberClassFolder(const AppContext& context, const QString& folder) {
    QStringList folders = recentClassFolders(context);
    folders.removeAll(folder);
    folders.prepend(folder);
    saveRecent(context, folders);
}

void forgetClassFolder(const AppContext& context, const QString& folder) {
    QStringList folders = recentClassFolders(context);
    folders.removeAll(folder);
    saveRecent(context, folders);
}

}  // namespace qv::app

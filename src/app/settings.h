#pragma once

#include <memory>

#include <QSettings>
#include <QStringList>

#include "analysis/student_matrices.h"
#include "layout/force_layout.h"
#include "pathfinder/pfnet.h"

namespace qv::app {

struct AppContext;

// The choices the program remembers between runs: the PFNET parameters of the
// last such run and the print window's layout. A value that cannot be read
// gives the default.
std::unique_ptr<QSettings> openSettings(const AppContext& context);

PfnetParams savedPfnetParams(const AppContext& context);
void savePfnetParams(const AppContext& context, PfnetParams params);
// The PFNET run's referent, the design's until another is chosen.
ReferentChoice savedReferent(const AppContext& context);
void saveReferent(const AppContext& context, ReferentChoice referent);

NodeLayout savedNodeLayout(const AppContext& context);
void saveNodeLayout(const AppContext& context, NodeLayout layout);

// The class folders opened last, the newest first, at most kRecentClasses.
inline constexpr int kRecentClasses = 8;
QStringList recentClassFolders(const AppContext& context);
// Puts `folder` first (once); the oldest beyond the limit drops out.
void rememberClassFolder(const AppContext& context, const QString& folder);
void forgetClassFolder(const AppContext& context, const QString& folder);

}  // namespace qv::app

#pragma once

#include <memory>

#include <QSettings>

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

NodeLayout savedNodeLayout(const AppContext& context);
void saveNodeLayout(const AppContext& context, NodeLayout layout);

}  // namespace qv::app

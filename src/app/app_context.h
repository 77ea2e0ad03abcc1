#pragma once

#include <QString>

#include "core/state.h"

namespace qv::app {

class Dialogs;

// What the windows share: the one analysis state, the dialogs and the data
// folders. Owned by the application for the whole run.
struct AppContext {
    explicit AppContext(Dialogs& d) : dialogs(d) {}

    AppState state;
    Dialogs& dialogs;
    QString dataFolder;         // "Data"
    QString conceptNoteFolder;  // "ConceptNote"
    QString itemConceptFolder;  // "ItemConcept"
    // Where the remembered choices are kept: the user's settings when empty,
    // this file (INI) otherwise, as in the tests.
    QString settingsFile;
};

}  // namespace qv::app

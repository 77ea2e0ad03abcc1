#pragma once

#include <QString>
#include <array>
#include <memory>

#include "core/state.h"

namespace qv {
struct ClassSummary;
}

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
    // The files the loaded class was read from (student data, concept notes,
    // item concepts); empty where none is loaded. No export or print goes there.
    std::array<QString, 3> inputFiles;

    // The run command of the last run, and the class summary of its results
    // (made when first asked for; dropped by every run and load).
    QString runName;
    std::shared_ptr<const ClassSummary> classSummary;
    // Where the remembered choices are kept: the user's settings when empty,
    // this file (INI) otherwise, as in the tests.
    QString settingsFile;
};

}  // namespace qv::app

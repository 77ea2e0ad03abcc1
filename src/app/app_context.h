#pragma once

#include <QString>
#include <array>
#include <memory>

#include "analysis/student_matrices.h"
#include "core/state.h"
#include "report/draw_report.h"
#include "stats/bootstrap.h"

namespace qv {
struct ClassSummary;
}

namespace qv::app {

class Dialogs;

// What the windows share: the class loaded now, the last run's results, the
// dialogs and the data folders. Owned by the application for the whole run.
struct AppContext {
    explicit AppContext(Dialogs& d) : dialogs(d) {}

    // Replaced whole by every load.
    ClassPtr classData = std::make_shared<const ClassData>();
    // Replaced whole by every run; they name their class, which a load since
    // may have replaced.
    std::shared_ptr<const RunResults> results;
    Dialogs& dialogs;
    QString dataFolder;         // "Data"
    QString conceptNoteFolder;  // "ConceptNote"
    QString itemConceptFolder;  // "ItemConcept"
    // The files the loaded class was read from (student data, concept notes,
    // item concepts); empty where none is loaded. No export or print goes there.
    std::array<QString, 3> inputFiles;

    // The run command of the last run, its method, and the class summary of
    // its results (made when first asked for; dropped by every run and load).
    QString runName;
    RunMethod runMethod;
    std::shared_ptr<const ClassSummary> classSummary;
    // Where the remembered choices are kept: the user's settings when empty,
    // this file (INI) otherwise, as in the tests.
    QString settingsFile;

    // The bootstrap intervals last computed, and the results they are of.
    std::shared_ptr<const BootstrapResults> bootstrap;
    std::shared_ptr<const RunResults> bootstrapOf;
    // The intervals of the current results, if computed; null otherwise.
    std::shared_ptr<const BootstrapResults> currentBootstrap() const {
        const auto current = currentResults();
        return current && current == bootstrapOf ? bootstrap : nullptr;
    }

    // The last run's results while they belong to the class loaded now and a
    // report can be drawn from them; null otherwise.
    std::shared_ptr<const RunResults> currentResults() const {
        if (!results || results->data != classData || !reportsAvailable(*results)) return nullptr;
        return results;
    }
};

}  // namespace qv::app

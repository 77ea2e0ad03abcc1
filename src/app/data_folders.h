#pragma once

#include <QByteArray>
#include <QString>
#include <filesystem>
#include <vector>

namespace qv::app {

struct AppContext;

// The folder that holds "Data", "ConceptNote" and "ItemConcept": the program's
// own folder when it is writable (a build folder), otherwise the fallback.
QString dataRoot(const QString& appDir, const QString& fallback);

// The fallback of an installed program, whose folder is read-only: "Quorvane"
// in the user's documents folder, where a teacher looks for the class files.
QString documentsDataRoot();

// Points the context's three data folders at root.
void setDataFolders(AppContext& context, const QString& root);

// Creates the three folders of the context; failures are passed over silently.
void createDataFolders(const AppContext& context);

// One file to place into a data folder on first start.
struct SeedFile {
    QString folder;
    QString name;
    QByteArray bytes;
};

// Writes the files when none of their folders holds a data file yet (a fresh
// installation); existing files are never touched. Returns the number written.
int seedDataFolders(const std::vector<SeedFile>& files);

// A file name from a dialog as the engine's path: wide on Windows, the
// local 8-bit encoding elsewhere.
std::filesystem::path toPath(const QString& file);

// The built-in sample class, one file for each of the context's folders.
std::vector<SeedFile> sampleClassFiles(const AppContext& context);

}  // namespace qv::app

#pragma once

#include "app/module_loader.h"
#include "storage/imported_piece.h"

#include <QObject>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <thread>

namespace zintaro::app {

// What reading a file for "Importa…" gave.
struct ImportRead {
    std::filesystem::path file;
    storage::ImportOutcome outcome;
    Text losses; // the reader's sentence of what it could not keep
};

// Reads the files "Importa…" chooses. The readers are a module loaded at the
// first import, never at start-up; the module is loaded and the file read
// off the window's thread, and `done` is called back on it.
class Importer : public QObject {
public:
    Importer(QStringList moduleFolders, QObject* parent = nullptr);
    ~Importer() override;

    // Nothing while an import is on its way.
    void read(const std::filesystem::path& file, int part, std::function<void(const ImportRead&)> done);
    bool reading() const { return m_worker.joinable(); }

private:
    ModuleLoader m_module;
    std::thread m_worker;
};

} // namespace zintaro::app

#pragma once

#include "core/translation.h"

#include <QLibrary>
#include <QString>
#include <QStringList>
#include <optional>

namespace zintaro::app {

// One of the program's modules (the progress page, the microphone), loaded
// at its first use and kept for the rest of the run. It is looked for in
// each folder in turn: beside the program, then where the package puts it.
class ModuleLoader {
public:
    ModuleLoader(QStringList folders, QString fileName, const char* entrySymbol);

    // The module's entry point, loading the module first if need be.
    // Loading maps libraries and takes longer than a frame: call it off the
    // window's thread, from one thread at a time.
    QFunctionPointer entry();
    bool loaded() const { return m_entry != nullptr; }
    // Why the last entry() gave nothing, in words for the user.
    const std::optional<Text>& failure() const { return m_failure; }

    // Where modules are looked for, for a program in `programFolder`.
    static QStringList defaultFolders(const QString& programFolder);

private:
    QStringList m_folders;
    QString m_fileName;
    const char* m_entrySymbol;
    QLibrary m_library;
    QFunctionPointer m_entry = nullptr;
    std::optional<Text> m_failure;
};

} // namespace zintaro::app

#include "app/module_loader.h"

#include <QDir>
#include <QFileInfo>

namespace zintaro::app {

ModuleLoader::ModuleLoader(QStringList folders, QString fileName, const char* entrySymbol)
    : m_folders(std::move(folders))
    , m_fileName(std::move(fileName))
    , m_entrySymbol(entrySymbol)
{
}

QStringList ModuleLoader::defaultFolders(const QString& programFolder)
{
    return { programFolder, QDir::cleanPath(programFolder + QStringLiteral("/../lib/zintaro/modules")) };
}

QFunctionPointer ModuleLoader::entry()
{
    if (m_entry)
        return m_entry;
    m_library.setFileName({});
    for (const QString& folder : m_folders) {
        const QString file = QDir(folder).filePath(m_fileName);
        if (QFileInfo::exists(file)) {
            m_library.setFileName(file);
            break;
        }
    }
    if (m_library.fileName().isEmpty())
        m_failure = translate("Modules", "%1 non trovato in %2")
                        .arg(m_fileName.toStdString())
                        .arg(m_folders.join(QStringLiteral(", ")).toStdString());
    else if (!m_library.load() || !(m_entry = m_library.resolve(m_entrySymbol)))
        m_failure = Text::verbatim(m_library.errorString().toStdString());
    else
        m_failure.reset();
    return m_entry;
}

} // namespace zintaro::app

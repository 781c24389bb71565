#include "app/importer.h"

#include "storage/import_module.h"

#include <memory>

namespace zintaro::app {

Importer::Importer(QStringList moduleFolders, QObject* parent)
    : QObject(parent)
    , m_module(std::move(moduleFolders), QString::fromLatin1(storage::ImportModuleFileName), storage::ImportFileSymbol)
{
}

Importer::~Importer()
{
    if (m_worker.joinable())
        m_worker.join();
}

void Importer::read(const std::filesystem::path& file, int part, std::function<void(const ImportRead&)> done)
{
    if (m_worker.joinable())
        return;
    m_worker = std::thread([this, file, part, done = std::move(done)] {
        auto read = std::make_shared<ImportRead>();
        read->file = file;
        if (const auto importFile = reinterpret_cast<storage::ImportFileFunction>(m_module.entry())) {
            importFile(file.c_str(), part, &read->outcome, &read->losses);
        } else {
            read->outcome.result = storage::ImportResult::Unreadable;
            read->outcome.text = translate("Import", "Non si può importare: %1").arg(*m_module.failure());
        }
        QMetaObject::invokeMethod(
            this,
            [this, read, done] {
                m_worker.join();
                done(*read);
            },
            Qt::QueuedConnection);
    });
}

} // namespace zintaro::app

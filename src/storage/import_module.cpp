#include "storage/import_module.h"

#include "storage/importers.h"

// The module's one entry, looked up by name at the first "Importa…".
extern "C" __attribute__((visibility("default"))) void zintaro_import_file(
    const char* path, int part, zintaro::storage::ImportOutcome* outcome, zintaro::Text* losses)
{
    *outcome = zintaro::storage::importFile(path, part);
    if (outcome->piece)
        *losses = zintaro::storage::lossesText(outcome->piece->losses);
}

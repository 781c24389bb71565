#include "storage/write_failure.h"

#include "storage/system_reason.h"

#include <cerrno>

namespace zintaro::storage {

namespace {

Text causeOf(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return translate("Files", "Disco pieno");
    case EROFS:
        return translate("Files", "Disco di sola lettura");
    case EIO:
        return translate("Files", "Errore del disco");
    default:
        return translate("Files", "Scrittura non riuscita (%1)").arg(systemReason(error));
    }
}

Text sentenceOf(WrittenFile file, bool earlierKept)
{
    switch (file) {
    case WrittenFile::Composition:
        return earlierKept ? translate("Files", "%1: la composizione non è stata salvata; quella di prima è intatta")
                           : translate("Files", "%1: la composizione non è stata salvata");
    case WrittenFile::Exercise:
        return earlierKept ? translate("Files", "%1: l'esercizio non è stato salvato; quello di prima è intatto")
                           : translate("Files", "%1: l'esercizio non è stato salvato");
    case WrittenFile::Export:
        return earlierKept ? translate("Files", "%1: il file non è stato esportato; quello di prima è intatto")
                           : translate("Files", "%1: il file non è stato esportato");
    case WrittenFile::Settings:
        return translate("Files", "%1: le scelte non sono state salvate; quelle di prima sono intatte");
    case WrittenFile::RecoveryCopy:
        return translate("Files",
            "%1: la copia di sicurezza della composizione non si aggiorna; la composizione sul pentagramma è intatta");
    case WrittenFile::Answers:
        return translate(
            "Files", "%1: le risposte non sono state scritte; restano in memoria e verranno scritte appena possibile");
    }
    return {};
}

} // namespace

Text writeFailureText(WrittenFile file, int error, bool earlierKept)
{
    return sentenceOf(file, earlierKept).arg(causeOf(error));
}

} // namespace zintaro::storage

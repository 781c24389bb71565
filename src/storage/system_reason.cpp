#include "storage/system_reason.h"

#include "core/translation.h"

#include <cerrno>
#include <cstring>

namespace zintaro::storage {

Text systemReason(int error)
{
    switch (error) {
    case ENOENT:
        return translate("Files", "il file o la cartella non esiste");
    case EACCES:
    case EPERM:
        return translate("Files", "permesso negato");
    case ENOSPC:
    case EDQUOT:
        return translate("Files", "il disco è pieno");
    case EROFS:
        return translate("Files", "il disco è di sola lettura");
    case EISDIR:
        return translate("Files", "è una cartella");
    case ENOTDIR:
        return translate("Files", "una parte del percorso non è una cartella");
    case EFBIG:
        return translate("Files", "il file è troppo grande");
    case ENAMETOOLONG:
        return translate("Files", "il nome è troppo lungo");
    case EIO:
        return translate("Files", "errore di lettura o scrittura del disco");
    default:
        return Text::verbatim(std::strerror(error));
    }
}

} // namespace zintaro::storage

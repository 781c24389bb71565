#include "storage/importers.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <zip.h>

namespace zintaro::storage {

namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};

// The archive opened from memory, or none when it is no zip archive.
Archive openArchive(std::string_view bytes)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* archive = source != nullptr ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    if (archive == nullptr && source != nullptr)
        zip_source_free(source);
    zip_error_fini(&error);
    return Archive(archive);
}

// The entry's bytes, read only as far as `budget` allows, which shrinks by
// what is read; none when the entry cannot be read or passes the budget
// (then the budget is spent).
std::optional<std::string> readEntry(zip_t* archive, zip_uint64_t index, std::size_t& budget)
{
    const std::unique_ptr<zip_file_t, EntryCloser> entry(zip_fopen_index(archive, index, 0));
    if (!entry)
        return std::nullopt;
    std::string bytes;
    std::array<char, 64 * 1024> chunk {};
    for (;;) {
        const zip_int64_t got = zip_fread(entry.get(), chunk.data(), chunk.size());
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return bytes;
        if (static_cast<std::size_t>(got) > budget) {
            budget = 0;
            return std::nullopt;
        }
        budget -= static_cast<std::size_t>(got);
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
    }
}

// The score's path that META-INF/container.xml names first, if any.
std::optional<std::string> rootFile(const std::string& container)
{
    QXmlStreamReader xml(QByteArray::fromRawData(container.data(), static_cast<qsizetype>(container.size())));
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"rootfile") {
            const QString path = xml.attributes().value(QLatin1String("full-path")).toString();
            if (!path.isEmpty())
                return path.toStdString();
        }
    }
    return std::nullopt;
}

bool isScoreName(std::string_view name)
{
    return !name.starts_with("META-INF/") && (name.ends_with(".musicxml") || name.ends_with(".xml"));
}

ImportOutcome refused(const Text& why)
{
    return { ImportResult::Refused, std::nullopt, why };
}

} // namespace

ImportOutcome readCompressedMusicXml(std::string_view bytes, int part)
{
    const Archive archive = openArchive(bytes);
    if (!archive)
        return refused(translate("Import", "non è una partitura MusicXML compressa leggibile"));

    // A file made to fill memory unpacks to far more than its size; the
    // sizes it declares are checked first, and reading stops past the limit
    // in case they lie.
    const std::size_t limit = std::min(MaxScoreBytes, MaxUnpackRatio * bytes.size());
    const Text tooLarge = translate("Import", "la partitura compressa si espanderebbe oltre %1 MB: non è stata aperta")
                              .arg(static_cast<long long>(limit >> 20));
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    zip_uint64_t declared = 0;
    std::optional<zip_uint64_t> container;
    std::optional<zip_uint64_t> firstScore;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t info;
        zip_stat_init(&info);
        const auto index = static_cast<zip_uint64_t>(i);
        if (zip_stat_index(archive.get(), index, 0, &info) != 0 || (info.valid & ZIP_STAT_NAME) == 0)
            continue;
        if ((info.valid & ZIP_STAT_SIZE) != 0)
            declared += std::min<zip_uint64_t>(info.size, limit + 1);
        if (declared > limit)
            return refused(tooLarge);
        const std::string_view name = info.name;
        if (name == "META-INF/container.xml")
            container = index;
        else if (!firstScore && isScoreName(name))
            firstScore = index;
    }

    std::size_t budget = limit;
    std::optional<zip_uint64_t> score = firstScore;
    if (container) {
        const auto text = readEntry(archive.get(), *container, budget);
        if (!text)
            return refused(budget == 0 ? tooLarge : translate("Import", "la partitura compressa è danneggiata"));
        if (const auto path = rootFile(*text)) {
            const zip_int64_t named = zip_name_locate(archive.get(), path->c_str(), 0);
            if (named >= 0)
                score = static_cast<zip_uint64_t>(named);
        }
    }
    if (!score)
        return refused(translate("Import", "l'archivio non contiene una partitura MusicXML"));
    const auto text = readEntry(archive.get(), *score, budget);
    if (!text)
        return refused(budget == 0 ? tooLarge : translate("Import", "la partitura compressa è danneggiata"));
    return readMusicXml(*text, part);
}

} // namespace zintaro::storage

// Feeds the compressed MusicXML reader archives packed by libzip from the
// format's own entries (the container and its root file, scores, entries of
// any size, stored or deflated), with a byte of the archive changed now and
// then so that its sizes and checksums lie, or the data's bytes as they
// are, and checks what every import must give.
#include "import_checks.h"

#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>
#include <zip.h>

namespace {

const std::string Score = "<score-partwise><part-list><score-part id=\"P1\"/></part-list><part id=\"P1\"><measure>"
                          "<note><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration>"
                          "<type>quarter</type></note></measure></part></score-partwise>";

// The bytes of an archive written in memory.
std::string archive(FuzzedDataProvider& in)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* zip = memory != nullptr ? zip_open_from_source(memory, ZIP_TRUNCATE, &error) : nullptr;
    zip_error_fini(&error);
    if (zip == nullptr) {
        zip_source_free(memory);
        return {};
    }
    zip_source_keep(memory);
    std::vector<std::string> contents; // alive until the archive is closed
    contents.reserve(8);
    for (int i = in.ConsumeIntegralInRange(0, 6); i > 0; --i) {
        const std::string name = in.PickValueInArray<const char*>(
            { "META-INF/container.xml", "score.musicxml", "a/b.xml", "mimetype", "x" });
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            contents.push_back("<container><rootfiles><rootfile full-path=\""
                + std::string(in.PickValueInArray<const char*>({ "score.musicxml", "a/b.xml", "missing.xml", "" }))
                + "\"/></rootfiles></container>");
            break;
        case 1:
            contents.push_back(Score);
            break;
        case 2:
            // Zeros that pack a hundred times smaller already pass the
            // unpacking limit; larger ones only cost time.
            contents.push_back(std::string(in.ConsumeIntegralInRange<std::size_t>(0, 1u << 17), '\0'));
            break;
        default:
            contents.push_back(in.ConsumeRandomLengthString(256));
        }
        zip_source_t* source = zip_source_buffer(zip, contents.back().data(), contents.back().size(), 0);
        const zip_int64_t index = source != nullptr ? zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE) : -1;
        if (index < 0)
            zip_source_free(source);
        else if (in.ConsumeBool())
            zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    std::string bytes;
    if (zip_close(zip) != 0) {
        zip_discard(zip);
    } else if (zip_source_open(memory) == 0) {
        char chunk[4096];
        zip_int64_t got = 0;
        while ((got = zip_source_read(memory, chunk, sizeof chunk)) > 0)
            bytes.append(chunk, static_cast<std::size_t>(got));
        zip_source_close(memory);
    }
    zip_source_free(memory);
    if (!bytes.empty() && in.ConsumeBool())
        bytes[in.ConsumeIntegralInRange<std::size_t>(0, bytes.size() - 1)]
            = static_cast<char>(in.ConsumeIntegral<uint8_t>());
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool asBytes = in.ConsumeBool();
    const std::string bytes = asBytes ? in.ConsumeRemainingBytesAsString() : archive(in);
    zintaro::fuzz::checkImport(zintaro::storage::readCompressedMusicXml(bytes, 0));
    return 0;
}

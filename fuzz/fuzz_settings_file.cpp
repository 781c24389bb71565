// The settings file both ways. Values built from the fuzzer's bytes (keys
// in groups, texts and lists with separators, quotes, escapes, blanks at the
// ends and letters past ASCII) are written as the program writes them and
// must read back the same. The raw bytes are read as a settings file too;
// whatever it gives, written back, reads back the same.
#include "fuzz_support.h"
#include "storage/settings_file.h"

#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace zintaro;
using namespace zintaro::storage;
using fuzzing::require;

// Texts as the settings hold them: what Qt makes of the bytes as UTF-8.
std::string makeText(FuzzedDataProvider& in)
{
    static constexpr std::array<const char*, 12> Pieces { "@", ",", ";", "=", "\"", "\\", " ", "\t", "\x01", "è",
        "\xe2\x82\xac", "0" };
    std::string text;
    for (int n = in.ConsumeIntegralInRange(0, 6); n > 0; --n) {
        if (in.ConsumeBool())
            text += Pieces[in.ConsumeIntegralInRange<std::size_t>(0, Pieces.size() - 1)];
        else
            text += in.ConsumeRandomLengthString(8);
    }
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

// A part of a key: never empty, never a slash.
std::string makeKeyPart(FuzzedDataProvider& in)
{
    static constexpr std::array<const char*, 8> Parts { "General", "a", "Scelte", "lingua", "x y", "%", "è", "." };
    std::string part
        = in.ConsumeBool() ? Parts[in.ConsumeIntegralInRange<std::size_t>(0, Parts.size() - 1)] : makeText(in);
    std::erase(part, '/');
    std::erase(part, '\\');
    return part.empty() ? "k" : part;
}

// What the file promises to give back: a list of one reads as its text.
SettingsValues asRead(const SettingsValues& values)
{
    SettingsValues read;
    for (const auto& [key, value] : values.all()) {
        const auto* list = std::get_if<std::vector<std::string>>(&value);
        if (list && list->size() == 1)
            read.set(key, list->front());
        else
            std::visit([&read, &key = key](const auto& v) { read.set(key, v); }, value);
    }
    return read;
}

// One file for the whole run. Qt's settings keep what they read of a file
// and read it again only when its size or time has changed, so each write
// gives it a time of its own. Keeping the one file also keeps Qt's cache of
// files the same size from input to input: every input that ends with as
// many blocks allocated as it began with spares libFuzzer a leak check of
// the whole heap.
SettingsRead readBack(std::string_view bytes)
{
    static const std::filesystem::path file = fuzzing::runFolder() / "settings.conf";
    static int64_t writes = 0;
    fuzzing::writeBytes(file, bytes);
    const timespec times[2] = { { 0, UTIME_OMIT }, { 1'000'000'000 + ++writes, 0 } };
    fuzzing::require(::utimensat(AT_FDCWD, file.c_str(), times, 0) == 0);
    return readSettingsFile(file);
}

// What Qt holds of the file between inputs: the same small file each time.
void settle()
{
    static const std::string Settled = settingsText([] {
        SettingsValues values;
        values.set("k", std::string("v"));
        return values;
    }());
    readBack(Settled);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const SettingsRead raw = readBack(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!raw.damaged) {
        const SettingsRead again = readBack(settingsText(raw.values));
        require(!again.damaged && again.values == raw.values);
    }

    FuzzedDataProvider in(data, size);
    SettingsValues values;
    for (int n = in.ConsumeIntegralInRange(0, 12); n > 0; --n) {
        std::string key = makeKeyPart(in);
        for (int depth = in.ConsumeIntegralInRange(0, 2); depth > 0; --depth)
            key += "/" + makeKeyPart(in);
        if (in.ConsumeBool()) {
            values.set(key, makeText(in));
        } else {
            std::vector<std::string> list;
            for (int items = in.ConsumeIntegralInRange(0, 3); items > 0; --items)
                list.push_back(makeText(in));
            values.set(key, list);
        }
    }
    const SettingsRead read = readBack(settingsText(values));
    require(!read.damaged && read.values == asRead(values));
    settle();
    return 0;
}

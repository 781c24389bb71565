// Feeds the MIDI reader files built from the format's own chunks and events
// (notes, running status, meta and system events, lengths that lie), or the
// data's bytes as they are, and checks what every import must give.
#include "import_checks.h"

#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <glib.h>
#include <string>

namespace {

void quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer)
{
}

void putBigEndian(std::string& out, uint32_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void putQuantity(std::string& out, uint32_t value)
{
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0)
        bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    out += bytes;
}

void putMeta(std::string& out, uint8_t type, const std::string& data)
{
    out += '\xFF';
    out += static_cast<char>(type);
    putQuantity(out, static_cast<uint32_t>(data.size()));
    out += data;
}

// Most files wait at most 960 ticks between events; one in eight waits up to
// the longest time the format holds, which the importer meets as silences
// filled with rests up to the notes an import may hold. Giving every file
// such waits spent most of the fuzzer's time on those rests.
std::string track(FuzzedDataProvider& in, bool hostileTimes)
{
    std::string out;
    for (int i = in.ConsumeIntegralInRange(0, 64); i > 0 && in.remaining_bytes() > 0; --i) {
        putQuantity(out,
            hostileTimes && in.ConsumeBool() ? in.ConsumeIntegral<uint32_t>() & 0x0FFFFFFF
                                             : in.ConsumeIntegralInRange<uint32_t>(0, 960));
        const auto channel = in.ConsumeIntegralInRange<uint8_t>(0, 15);
        switch (in.ConsumeIntegralInRange(0, 9)) {
        case 0:
            putMeta(out, 0x51, in.ConsumeBytesAsString(3));
            break;
        case 1:
            putMeta(out, 0x58, in.ConsumeBytesAsString(4));
            break;
        case 2:
            putMeta(out, 0x59, in.ConsumeBytesAsString(2));
            break;
        case 3:
            putMeta(out, in.ConsumeBool() ? 0x03 : in.ConsumeIntegral<uint8_t>(), in.ConsumeRandomLengthString(16));
            break;
        case 4:
            out += static_cast<char>(in.ConsumeBool() ? 0xF0 : 0xF7);
            putQuantity(out, in.ConsumeIntegralInRange<uint32_t>(0, 8));
            out += in.ConsumeBytesAsString(in.ConsumeIntegralInRange<std::size_t>(0, 8));
            break;
        case 5:
            // Running status: data bytes alone.
            out += static_cast<char>(in.ConsumeIntegralInRange<uint8_t>(0, 127));
            out += static_cast<char>(in.ConsumeIntegralInRange<uint8_t>(0, 127));
            break;
        case 6:
            out += static_cast<char>(in.PickValueInArray<uint8_t>({ 0xA0, 0xB0, 0xC0, 0xD0, 0xE0 }) | channel);
            out += in.ConsumeBytesAsString(2);
            break;
        default:
            out += static_cast<char>((in.ConsumeBool() ? 0x90 : 0x80) | channel);
            out += static_cast<char>(in.ConsumeIntegralInRange<uint8_t>(0, 127));
            out += static_cast<char>(in.ConsumeIntegralInRange<uint8_t>(0, 127));
        }
    }
    if (in.ConsumeBool())
        out += std::string("\x00\xFF\x2F\x00", 4);
    return out;
}

std::string file(FuzzedDataProvider& in)
{
    const int tracks = in.ConsumeIntegralInRange(0, 4);
    const bool hostileTimes = in.ConsumeIntegralInRange(0, 7) == 0;
    std::string out = "MThd";
    putBigEndian(out, 6, 4);
    putBigEndian(out, in.ConsumeIntegralInRange(0, 3), 2);
    putBigEndian(out, in.ConsumeBool() ? static_cast<uint32_t>(tracks) : in.ConsumeIntegral<uint16_t>(), 2);
    putBigEndian(
        out, in.ConsumeBool() ? in.PickValueInArray<uint16_t>({ 96, 480, 1 }) : in.ConsumeIntegral<uint16_t>(), 2);
    for (int t = 0; t < tracks; ++t) {
        const std::string events = track(in, hostileTimes);
        out += in.ConsumeIntegralInRange(0, 15) == 0 ? "XTrk" : "MTrk";
        const auto lie = in.ConsumeIntegralInRange(0, 15) == 0 ? in.ConsumeIntegralInRange(-4, 4) : 0;
        putBigEndian(out, static_cast<uint32_t>(static_cast<int>(events.size()) + lie), 4);
        out += events;
    }
    if (in.ConsumeIntegralInRange(0, 7) == 0 && !out.empty())
        out.resize(in.ConsumeIntegralInRange<std::size_t>(0, out.size()));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The library's complaints about damaged files would drown the fuzzer's output.
    g_log_set_handler("libsmf", static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK), quiet, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const bool asBytes = in.ConsumeBool();
    const int part = in.ConsumeIntegralInRange(0, 3);
    const std::string bytes = asBytes ? in.ConsumeRemainingBytesAsString() : file(in);
    zintaro::fuzz::checkImport(zintaro::storage::readMidiFile(bytes, part));
    return 0;
}

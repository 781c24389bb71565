#include "core/midi_message.h"
#include "core/pitch.h"
#include "storage/export_writers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <initializer_list>

namespace zintaro::storage {

namespace {

constexpr int TicksPerQuarter = 480;
constexpr int TicksPerWhole = 4 * TicksPerQuarter;
constexpr uint8_t Velocity = 127;

// Meta events of a MIDI file's track: they never travel to a device.
constexpr uint8_t MetaEvent = 0xFF;
constexpr uint8_t MetaTimeSignature = 0x58;
constexpr uint8_t MetaTempo = 0x51;
constexpr uint8_t MetaKeySignature = 0x59;
constexpr uint8_t MetaEndOfTrack = 0x2F;

void putBigEndian(std::string& out, uint32_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

// A delta time as a variable-length quantity: seven bits a byte, most
// significant first, the high bit set on all but the last.
void putDelta(std::string& out, uint32_t ticks)
{
    std::array<char, 5> bytes {};
    int n = 0;
    do {
        bytes[static_cast<std::size_t>(n++)] = static_cast<char>(ticks & 0x7F);
        ticks >>= 7;
    } while (ticks != 0);
    while (n > 1)
        out += static_cast<char>(bytes[static_cast<std::size_t>(--n)] | 0x80);
    out += bytes[0];
}

void putEvent(std::string& out, uint32_t delta, std::initializer_list<uint8_t> bytes)
{
    putDelta(out, delta);
    for (const uint8_t b : bytes)
        out += static_cast<char>(b);
}

} // namespace

std::string writeMidiFile(
    const CompositionStore& store, int noteCount, int quarterMicros, int program, Key key, Meter meter)
{
    const int count = std::clamp(noteCount, 0, MaxEntries);
    const auto tempo = static_cast<uint32_t>(std::clamp(quarterMicros, 1, 0xFFFFFF));
    const auto patch = static_cast<uint8_t>(std::clamp(program, 0, midi::MaxData));

    std::string track;
    track.reserve(64 + 8 * static_cast<std::size_t>(count));
    // The note value as a power of two; a metronome click every beat (24
    // clocks a quarter; a dotted quarter in compound meters); eight 32nds to
    // the quarter.
    const int clocks = isCompound(meter) ? 36 : 96 / meter.unit;
    putEvent(track, 0,
        { MetaEvent, MetaTimeSignature, 0x04, static_cast<uint8_t>(meter.beats),
            static_cast<uint8_t>(std::countr_zero(static_cast<unsigned>(meter.unit))), static_cast<uint8_t>(clocks),
            0x08 });
    // C major is what a file without a key signature is read in.
    if (key != Key {})
        putEvent(track, 0,
            { MetaEvent, MetaKeySignature, 0x02, static_cast<uint8_t>(static_cast<int8_t>(key.fifths)),
                static_cast<uint8_t>(key.mode == KeyMode::Minor ? 1 : 0) });
    putEvent(track, 0,
        { MetaEvent, MetaTempo, 0x03, static_cast<uint8_t>(tempo >> 16), static_cast<uint8_t>(tempo >> 8),
            static_cast<uint8_t>(tempo) });
    putEvent(track, 0, { midi::status::ProgramChange, patch });

    uint32_t pending = 0; // ticks since the last event: the rests before a note
    uint32_t held = 0; // ticks the note struck last has sounded, through its ties
    bool tiedIn = false;
    for (int i = 0; i < count; ++i) {
        const Entry e = store.at(i);
        if (!isExportable(e))
            continue;
        const auto plain = static_cast<uint32_t>(TicksPerWhole >> e.DurationCode);
        const uint32_t length = e.Dotted ? plain + plain / 2 : plain;
        if (e.RestFlag != 0) {
            pending += length;
            continue;
        }
        // Tied notes are one note, struck once and held through.
        const auto key = static_cast<uint8_t>(midiNoteOfKey(e.NoteIndex));
        if (!tiedIn) {
            putEvent(track, pending, { midi::status::NoteOn, key, Velocity });
            pending = 0;
            held = 0;
        }
        held += length;
        tiedIn = tieHolds(store, count, i) && isExportable(store.at(i + 1));
        if (!tiedIn)
            putEvent(track, held, { midi::status::NoteOff, key, 0 });
    }
    putEvent(track, pending, { MetaEvent, MetaEndOfTrack, 0x00 });

    std::string file;
    file.reserve(22 + track.size());
    file += "MThd";
    putBigEndian(file, 6, 4);
    putBigEndian(file, 0, 2); // format 0: one track
    putBigEndian(file, 1, 2);
    putBigEndian(file, TicksPerQuarter, 2);
    file += "MTrk";
    putBigEndian(file, static_cast<uint32_t>(track.size()), 4);
    file += track;
    return file;
}

} // namespace zintaro::storage

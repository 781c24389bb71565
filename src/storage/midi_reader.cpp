#include "storage/importers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <smf.h>
#include <string>
#include <utility>

namespace zintaro::storage {

namespace {

struct SmfCloser {
    void operator()(smf_t* smf) const { smf_delete(smf); }
};

// A note as the file sounds it, from its note-on to its note-off, in ticks.
struct HeardNote {
    long long start = 0;
    long long end = 0;
    int pitch = 0;
};

// A track's notes on one channel: what the user picks from.
struct Voice {
    Text name;
    std::vector<HeardNote> notes;
};

// A meta event found earliest in the file, with its time.
template<typename T> struct Earliest {
    long long time = -1;
    T value {};

    void offer(long long at, T v)
    {
        if (time < 0 || at < time) {
            time = at;
            value = v;
        }
    }
};

struct Notation {
    Earliest<Key> key;
    Earliest<Meter> meter;
    Earliest<int> quarterMicros;
};

// The notes of one track, a voice for each channel that has any; the meta
// events go to the notation.
void readTrack(smf_track_t* track, int number, std::vector<Voice>& voices, Notation& notation)
{
    std::array<std::vector<HeardNote>, 16> channels;
    std::array<std::array<long long, 128>, 16> soundingSince {};
    for (auto& channel : soundingSince)
        channel.fill(-1);
    std::string name;
    long long last = 0;

    const auto release = [&](int channel, int pitch, long long at) {
        long long& since = soundingSince[static_cast<std::size_t>(channel)][static_cast<std::size_t>(pitch)];
        if (since >= 0 && channels[static_cast<std::size_t>(channel)].size() < MaxImportedNotes)
            channels[static_cast<std::size_t>(channel)].push_back({ since, at, pitch });
        since = -1;
    };

    for (int i = 1; i <= track->number_of_events; ++i) {
        const smf_event_t* event = smf_track_get_event_by_number(track, i);
        if (event == nullptr || event->midi_buffer == nullptr || event->midi_buffer_length < 1)
            continue;
        const unsigned char* b = event->midi_buffer;
        const int length = event->midi_buffer_length;
        const long long at = std::max(0, event->time_pulses);
        last = std::max(last, at);
        if (b[0] == 0xFF && length >= 3) {
            if (b[1] == 0x03 && name.empty()) {
                const std::unique_ptr<char, decltype(&std::free)> text(smf_event_extract_text(event), &std::free);
                if (text)
                    name = text.get();
            } else if (b[1] == 0x51 && b[2] == 3 && length >= 6) {
                notation.quarterMicros.offer(at, (b[3] << 16) | (b[4] << 8) | b[5]);
            } else if (b[1] == 0x58 && b[2] == 4 && length >= 7 && b[3] > 0 && b[4] <= 6) {
                notation.meter.offer(at, { b[3], 1 << b[4] });
            } else if (b[1] == 0x59 && b[2] == 2 && length >= 5) {
                const Key key { static_cast<signed char>(b[3]), b[4] == 1 ? KeyMode::Minor : KeyMode::Major };
                if (isValidKey(key))
                    notation.key.offer(at, key);
            }
            continue;
        }
        const int status = b[0] & 0xF0;
        const int channel = b[0] & 0x0F;
        if (length < 3 || (status != 0x80 && status != 0x90) || b[1] > 127)
            continue;
        release(channel, b[1], at);
        if (status == 0x90 && b[2] != 0)
            soundingSince[static_cast<std::size_t>(channel)][b[1]] = at;
    }

    int used = 0;
    for (int channel = 0; channel < 16; ++channel) {
        for (int pitch = 0; pitch < 128; ++pitch)
            release(channel, pitch, last);
        used += channels[static_cast<std::size_t>(channel)].empty() ? 0 : 1;
    }
    for (int channel = 0; channel < 16; ++channel) {
        auto& notes = channels[static_cast<std::size_t>(channel)];
        if (notes.empty())
            continue;
        Text voiceName = name.empty() ? translate("Import", "Traccia %1").arg(number) : Text::verbatim(name);
        if (used > 1)
            voiceName = translate("Import", "%1, canale %2").arg(voiceName).arg(channel + 1);
        voices.push_back({ voiceName, std::move(notes) });
    }
}

// The notes as written: starts and ends put on the nearest sixty-fourth, a
// note under a higher one left out, each note the value nearest its length,
// the silences between them rests.
void writeDown(std::vector<HeardNote> heard, int ticksPerQuarter, ImportedPiece& piece)
{
    std::sort(heard.begin(), heard.end(), [](const HeardNote& a, const HeardNote& b) {
        return a.start != b.start ? a.start < b.start : a.pitch > b.pitch;
    });
    const double ticksPerSixtyFourth = ticksPerQuarter / 16.0;
    const auto grid = [&](long long ticks) { return std::llround(static_cast<double>(ticks) / ticksPerSixtyFourth); };

    std::vector<HeardNote> kept;
    for (const HeardNote& note : heard) {
        const long long start = grid(note.start);
        const HeardNote placed { start, std::max(grid(note.end), start + 1), note.pitch };
        if (!kept.empty() && start < kept.back().end) {
            // Sorted by start, then highest first: a note that starts with
            // another is lower; one that starts later cuts a lower one short.
            if (start == kept.back().start || note.pitch < kept.back().pitch) {
                ++piece.losses.overlapsDropped;
                continue;
            }
            kept.back().end = start;
        }
        kept.push_back(placed);
    }

    // Where the written notes have reached, and where the last one was heard
    // to end, in sixty-fourths: a silence starts after both.
    long long written = 0;
    long long heardEnd = 0;
    const auto append = [&](ImportedNote note) {
        if (piece.notes.size() >= MaxImportedNotes) {
            piece.losses.notesLeftOut = true;
            return;
        }
        piece.notes.push_back(note);
        written += note.value.sixtyFourths();
    };
    for (const HeardNote& note : kept) {
        if (const long long from = std::max(written, heardEnd); note.start > from)
            for (const WrittenValue& v : valuesFilling(note.start - from, valuesRoom(piece.notes.size())))
                append({ std::nullopt, v, false });
        heardEnd = note.end;
        append({ note.pitch, nearestValue(static_cast<double>(note.end - note.start)), false });
    }
}

// Whether the file's chunks (a name and a length, then that many bytes)
// follow one another to its very end.
bool chunksWhole(std::string_view bytes)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 8)
            return false;
        std::size_t length = 0;
        for (std::size_t i = at + 4; i < at + 8; ++i)
            length = length << 8 | static_cast<unsigned char>(bytes[i]);
        if (length > bytes.size() - at - 8)
            return false;
        at += 8 + length;
    }
    return true;
}

// A variable-length quantity as the library reads it: its value and the
// bytes it takes, both 0 where the bytes run out first.
std::pair<std::size_t, std::size_t> quantity(std::string_view bytes, std::size_t at, std::size_t end)
{
    std::size_t value = 0;
    for (std::size_t i = at; i < end; ++i) {
        value = (value << 7 | (static_cast<unsigned char>(bytes[i]) & 0x7F)) & 0xFFFFFFFF;
        if ((static_cast<unsigned char>(bytes[i]) & 0x80) == 0)
            return { value, i - at + 1 };
    }
    return { 0, 0 };
}

// libsmf 1.3 stops the whole program (a failed assertion) where a track
// runs out before its end marker, where a running status follows a system
// exclusive message, on escaped events, and where the time overflows. This
// walks each track's events by the lengths the library gives them and says
// whether the library can read the file without meeting one of those; where
// the library would give up on a track by itself, the walk does too.
bool librarySafe(std::string_view bytes)
{
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    for (std::size_t chunk = 14; chunk + 8 <= bytes.size();) {
        const std::size_t end = chunk + 8
            + (std::size_t { byte(chunk + 4) } << 24 | std::size_t { byte(chunk + 5) } << 16
                | std::size_t { byte(chunk + 6) } << 8 | byte(chunk + 7));
        const bool track = bytes.substr(chunk, 4) == "MTrk";
        std::size_t at = chunk + 8;
        chunk = end;
        int running = 0;
        std::size_t time = 0;
        while (track) {
            if (at >= end)
                return false;
            const auto [delta, deltaBytes] = quantity(bytes, at, end);
            time += delta;
            at += deltaBytes;
            if (deltaBytes == 0 || deltaBytes > 4 || at >= end)
                break;
            if (time > 0x3FFFFFFF)
                return false;
            const bool ownStatus = (byte(at) & 0x80) != 0;
            const int status = ownStatus ? byte(at) : running;
            if ((status & 0x80) == 0 || status == 0xF4 || status == 0xF5 || status == 0xFD)
                break;
            if (status == 0xF7 || (status == 0xF0 && !ownStatus))
                return false;
            std::size_t length = 0; // the bytes after the status byte
            if (status == 0xF0) {
                if (end - at < 4)
                    break;
                const auto [size, sizeBytes] = quantity(bytes, at + 1, end);
                if (sizeBytes > 4)
                    return false;
                if (sizeBytes + size + 1 >= end - at)
                    break;
                length = sizeBytes + size;
            } else {
                const std::size_t data = ownStatus ? at + 1 : at;
                if (status == 0xFF && data + 1 >= end)
                    break;
                if (status == 0xFF && byte(data) == 0x2F)
                    break;
                length = status == 0xFF                                            ? byte(data + 1) + 2U
                    : status == 0xF2 || (status < 0xF0 && (status & 0xE0) != 0xC0) ? 2U
                    : status == 0xF1 || status == 0xF3 || (status & 0xE0) == 0xC0  ? 1U
                                                                                   : 0U;
                if (data + length > end)
                    break;
            }
            running = status;
            at += (ownStatus ? 1 : 0) + length;
        }
    }
    return true;
}

ImportOutcome refused(const Text& why)
{
    return { ImportResult::Refused, std::nullopt, why };
}

} // namespace

ImportOutcome readMidiFile(std::string_view bytes, int part)
{
    if (bytes.size() > MaxMidiBytes)
        return {
            ImportResult::Unreadable, std::nullopt,
            translate("Files", "il file è troppo grande (più di %1 MB)").arg(static_cast<long long>(MaxMidiBytes >> 20))
        };
    if (!bytes.starts_with("MThd"))
        return refused(translate("Import", "non è un file MIDI"));
    // The header's format and number of tracks, which the library refuses
    // without saying which it was.
    const auto headerWord = [&](std::size_t at) {
        return bytes.size() < at + 2
            ? -1
            : (static_cast<unsigned char>(bytes[at]) << 8 | static_cast<unsigned char>(bytes[at + 1]));
    };
    if (headerWord(8) > 1)
        return refused(translate("Import", "il file MIDI è di formato 2 (sequenze indipendenti), che non si importa"));
    if (headerWord(10) == 0)
        return refused(translate("Import", "il file MIDI non contiene tracce"));
    if (headerWord(12) >= 0x8000)
        return refused(translate("Import", "il file MIDI conta il tempo in fotogrammi, non in battiti"));
    // The library reads what it can of a file cut short; a file whose last
    // chunk is not whole is refused instead. It also loses memory on a
    // header it refuses: the header is checked here first.
    const Text damaged = translate("Import", "il file MIDI è danneggiato o incompleto");
    if (bytes.size() < 14 || bytes.substr(4, 4) != std::string_view("\0\0\0\6", 4) || headerWord(12) == 0
        || !chunksWhole(bytes) || !librarySafe(bytes))
        return refused(damaged);
    const std::unique_ptr<smf_t, SmfCloser> smf(smf_load_from_memory(bytes.data(), static_cast<int>(bytes.size())));
    if (!smf || smf->number_of_tracks < 1 || smf->ppqn <= 0)
        return refused(damaged);

    std::vector<Voice> voices;
    Notation notation;
    for (int t = 1; t <= smf->number_of_tracks; ++t)
        if (smf_track_t* track = smf_get_track_by_number(smf.get(), t))
            readTrack(track, t, voices, notation);
    if (voices.empty())
        return refused(translate("Import", "il file MIDI non contiene note"));
    if (part < 0 || part >= static_cast<int>(voices.size()))
        return refused(translate("Import", "la parte %1 non c'è: il file ne ha %2")
                           .arg(part + 1)
                           .arg(static_cast<int>(voices.size())));

    ImportedPiece piece;
    piece.key = notation.key.value;
    if (notation.meter.time >= 0)
        piece.meter = notation.meter.value;
    if (notation.quarterMicros.time >= 0 && notation.quarterMicros.value > 0)
        piece.tempo = 60'000'000.0 / notation.quarterMicros.value;
    for (const Voice& voice : voices)
        piece.parts.push_back(voice.name);
    piece.chosenPart = part;
    writeDown(std::move(voices[static_cast<std::size_t>(part)].notes), smf->ppqn, piece);
    return { ImportResult::Imported, std::move(piece), {} };
}

} // namespace zintaro::storage

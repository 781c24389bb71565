#!/usr/bin/python3
"""Prints what a MIDI file holds, as the export tests compare it.

One line per fact, the tracks merged in time:
    format F ticks T tracks N
    tempo TICK MICROSECONDS
    time_signature TICK NUMERATOR DENOMINATOR
    key_signature TICK KEY      (mido's names: D, Bbm)
    program TICK CHANNEL PROGRAM
    note CHANNEL KEY START LENGTH VELOCITY
    end TICK            (the last end of track)
Exits with 77 when mido is missing, so that the test can say "skipped".
"""
import sys

try:
    import mido
except ImportError:
    print("python3-mido is not installed", file=sys.stderr)
    sys.exit(77)

midi = mido.MidiFile(sys.argv[1])
print(f"format {midi.type} ticks {midi.ticks_per_beat} tracks {len(midi.tracks)}")
facts = []
notes = []
end = 0
for track in midi.tracks:
    tick = 0
    sounding = {}
    for message in track:
        tick += message.time
        if message.type == "set_tempo":
            facts.append((tick, f"tempo {tick} {message.tempo}"))
        elif message.type == "time_signature":
            facts.append((tick, f"time_signature {tick} {message.numerator} {message.denominator}"))
        elif message.type == "key_signature":
            facts.append((tick, f"key_signature {tick} {message.key}"))
        elif message.type == "program_change":
            facts.append((tick, f"program {tick} {message.channel} {message.program}"))
        elif message.type == "note_on" and message.velocity > 0:
            sounding[(message.channel, message.note)] = (tick, message.velocity)
        elif message.type in ("note_off", "note_on"):
            start, velocity = sounding.pop((message.channel, message.note))
            notes.append((start, message.channel, message.note, tick - start, velocity))
        elif message.type == "end_of_track":
            end = max(end, tick)
for _, line in sorted(facts, key=lambda f: f[0]):
    print(line)
for start, channel, key, length, velocity in sorted(notes):
    print(f"note {channel} {key} {start} {length} {velocity}")
print(f"end {end}")

#!/usr/bin/python3
"""Reads the notes and rests of a one-voice partwise MusicXML file and prints

    written NUMBER VALUE...      the written values of each measure, e.g. "written 2 quarter half.~ r:eighth."
                                 (r: a rest, . a dot, ~ tied to the next)
    note MIDI_KEY ONSET LENGTH   then what sounds and when, in 64ths of a whole note, tied notes joined,
    rest ONSET LENGTH            and rests that follow each other as one.

Exits with 3 when a rest carries a tie.
"""
import sys
import xml.etree.ElementTree as ET

STEPS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}

root = ET.parse(sys.argv[1]).getroot()
part = root.find("part")
divisions = 1
time = 0  # in 64ths
events = []
for measure in part.iter("measure"):
    values = []
    for element in measure:
        if element.tag == "attributes" and element.findtext("divisions"):
            divisions = int(element.findtext("divisions"))
        if element.tag != "note":
            continue
        length = int(element.findtext("duration")) * 16 // divisions
        is_rest = element.find("rest") is not None
        ties = {t.get("type") for t in element.findall("tie")}
        if is_rest and (ties or element.find("notations/tied") is not None):
            sys.exit(3)
        value = ("r:" if is_rest else "") + element.findtext("type", "?") + "." * len(element.findall("dot"))
        values.append(value + ("~" if "start" in ties else ""))
        if is_rest:
            if events and events[-1][0] == "rest" and events[-1][1] + events[-1][2] == time:
                events[-1][2] += length
            else:
                events.append(["rest", time, length])
        else:
            pitch = element.find("pitch")
            key = 12 * (int(pitch.findtext("octave")) + 1) + STEPS[pitch.findtext("step")] + int(
                pitch.findtext("alter", "0"))
            if "stop" in ties and events and events[-1][0] == "note" and events[-1][1] == key:
                events[-1][3] += length
            else:
                events.append(["note", key, time, length])
        time += length
    print("written", measure.get("number"), " ".join(values))
for e in events:
    print(" ".join(str(v) for v in e))

#!/usr/bin/python3
"""Prints the structure of a partwise MusicXML file, as the export tests compare it.

    part NAME
    attributes DIVISIONS BEATS/BEAT_TYPE CLEF_SIGN CLEF_LINE
    measure NUMBER DURATION_SUM
    lyric TEXT
"""
import sys
import xml.etree.ElementTree as ET

root = ET.parse(sys.argv[1]).getroot()
if root.tag != "score-partwise" or root.get("version") != "4.0":
    sys.exit(f"not a partwise MusicXML 4.0 score: {root.tag} {root.get('version')}")
for part in root.iter("score-part"):
    print("part", part.findtext("part-name"))
for part in root.iter("part"):
    for measure in part.iter("measure"):
        attributes = measure.find("attributes")
        if attributes is not None:
            print("attributes", attributes.findtext("divisions"),
                  attributes.findtext("time/beats") + "/" + attributes.findtext("time/beat-type"),
                  attributes.findtext("clef/sign"), attributes.findtext("clef/line"))
        total = sum(int(note.findtext("duration")) for note in measure.iter("note"))
        print("measure", measure.get("number"), total)
        for note in measure.iter("note"):
            for lyric in note.iter("lyric"):
                print("lyric", lyric.findtext("text"))

#include "midi/instruments.h"

namespace zintaro::midi {

const std::array<std::string_view, 128> InstrumentNames {
    "Acoustic Grand Piano", "Bright Acoustic Piano", "Electric Grand Piano", "Honky Tonk Piano", "Electric Piano 1",
    "Electric Piano 2", "Harpsichord", "Clavinet", //
    "Celesta", "Glockenspiel", "Music Box", "Vibraphone", "Marimba", "Xylophone", "Tubular Bell", "Dulcimer", //
    "Drawbar Organ", "Percussive Organ", "Rock Organ", "Church Organ", "Reed Organ", "Accordion", "Harmonica",
    "Tango Accordion", //
    "Nylon String Guitar", "Steel String Guitar", "Electric Jazz Guitar", "Electric Clean Guitar",
    "Electric Muted Guitar", "Overdrive Guitar", "Distortion Guitar", "Guitar Harmonics", //
    "Acoustic Bass", "Fingered Bass", "Picked Bass", "Fretless Bass", "Slap Bass 1", "Slap Bass 2", "Synth Bass 1",
    "Synth Bass 2", //
    "Violin", "Viola", "Cello", "Contrabass", "Tremolo Strings", "Pizzicato Strings", "Orchestral Strings",
    "Timpani", //
    "String Ensemble 1", "String Ensemble 2", "Syn Str. 1", "Syn Str. 2", "Choir Aahs", "Voice Oohs", "SynVox",
    "Orchestra Hit", //
    "Trumpet", "Trombone", "Tuba", "Muted Trumpet", "French Horn", "Brass Section", "Synth Brass 1",
    "Synth Brass 2", //
    "Soprano Sax", "Alto Sax", "Tenor Sax", "Baritone Sax", "Oboe", "English Horn", "Basson", "Clarinet", //
    "Piccolo", "Flute", "Recorder", "Pan Flute", "Bottle Blow", "Shakuhachi", "Whistle", "Ocarina", //
    "Square Wave", "Sawtooth Wave", "Syn.Calliope", "Chiffer Lead", "Charang", "Solo Vox", "5th Saw Wave",
    "Bass& Lead", //
    "Fantasia", "Warm Pad", "PolySynth", "Space Voice", "Bowed Glass", "Metal Pad", "Halo Pad", "Sweep Pad", //
    "Ice Rain", "Sound Track", "Crystal", "Atmosphere", "Brightness", "Goblin", "Echo Drops", "Star Theme", //
    "Sitar", "Banjo", "Shamisen", "Koto", "Kalimba", "Bag Pipe", "Fiddle", "Shanai", //
    "Tinkle Bell", "Agogo", "Steel Drums", "Woodblock", "Taiko", "Melo Tom 1", "Synth Drum", "Reverse Cym.", //
    "Gt.FretNoise", "Breath Noise", "Seashore", "Bird", "Telephone 1", "Helicopter", "Applause", "Gun Shot", //
};

} // namespace zintaro::midi

#pragma once

namespace zintaro {
namespace staff {
class StaffSurface;
class Speech;
} // namespace staff
namespace midi {
class MidiOut;
}
namespace input {
class PianoView;
}

namespace compose {

// What the composing rules draw on, sound through and speak through; what
// they have to tell comes back as data. The window hands in the real ones;
// tests hand in recording ones.
struct Ports {
    staff::StaffSurface& surface;
    midi::MidiOut& midi;
    staff::Speech& speech;
    input::PianoView& piano;
};

} // namespace compose
} // namespace zintaro

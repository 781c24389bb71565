#pragma once

namespace zintaro {
class Dialogs;
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

// What the composing rules draw on, sound through, speak through and ask
// with. The window hands in the real ones; tests hand in recording ones.
struct Ports {
    staff::StaffSurface& surface;
    midi::MidiOut& midi;
    staff::Speech& speech;
    Dialogs& dialogs;
    input::PianoView& piano;
};

} // namespace compose
} // namespace zintaro

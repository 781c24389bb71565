#include "midi/midi_errors.h"

#include "core/translation.h"

namespace zintaro::midi {

MidiProblem problemOf(MidiResult code)
{
    switch (code) {
    case errors::Unspecified:
        return MidiProblem::Unspecified;
    case errors::BadDeviceId:
        return MidiProblem::BadDeviceId;
    case errors::InvalidHandle:
        return MidiProblem::NotOpen;
    case errors::NoDevice:
        return MidiProblem::NoDevice;
    case errors::NoAudioOutput:
        return MidiProblem::NoAudioOutput;
    case errors::SoundFontMissing:
        return MidiProblem::SoundFontMissing;
    case errors::SoundFontUnreadable:
        return MidiProblem::SoundFontUnreadable;
    case errors::SynthesizerFailed:
        return MidiProblem::SynthesizerFailed;
    case errors::PortVanished:
        return MidiProblem::PortVanished;
    case errors::PortFailed:
        return MidiProblem::PortFailed;
    case errors::SendFailed:
        return MidiProblem::SendFailed;
    case errors::DataOutOfRange:
        return MidiProblem::DataOutOfRange;
    case errors::NotChannelMessage:
        return MidiProblem::NotChannelMessage;
    default:
        return MidiProblem::Other;
    }
}

Text errorTextFor(MidiResult code)
{
    switch (code) {
    case MidiOk:
        return translate("Sound", "L'operazione MIDI è riuscita.");
    case errors::Unspecified:
        return translate("Sound", "L'uscita MIDI non ha funzionato per un motivo sconosciuto.");
    case errors::BadDeviceId:
        return translate("Sound", "Non c'è un dispositivo MIDI di uscita con questo numero.");
    case errors::InvalidHandle:
        return translate("Sound", "Nessun dispositivo MIDI di uscita è aperto: il messaggio non è stato inviato.");
    case errors::NoDevice:
        return translate("Sound", "Non c'è nessun dispositivo MIDI di uscita.");
    case errors::NoAudioOutput:
        return translate("Sound",
            "Non è stata trovata nessuna uscita audio (PulseAudio, PipeWire o ALSA). Zintaro funziona in silenzio; "
            "il suono torna da solo quando compare un'uscita.");
    case errors::SoundFontMissing:
        return translate("Sound",
            "Non è stato trovato nessun SoundFont General MIDI (cercato in /usr/share/sounds/sf2 e sf3, in quello "
            "predefinito di FluidSynth e in soundfonts/ o sounds/sf2/ delle cartelle dati XDG). Installare il "
            "pacchetto fluid-soundfont-gm.");
    case errors::SoundFontUnreadable:
        return translate(
            "Sound", "Il SoundFont General MIDI non si può leggere: il sintetizzatore interno è senza strumenti.");
    case errors::SynthesizerFailed:
        return translate("Sound", "Il sintetizzatore interno non si è potuto avviare.");
    case errors::PortVanished:
        return translate(
            "Sound", "La porta MIDI non c'è più: il suo dispositivo è stato scollegato o il suo programma è finito.");
    case errors::PortFailed:
        return translate("Sound", "La porta MIDI non si è potuta aprire.");
    case errors::SendFailed:
        return translate("Sound", "La porta MIDI non ha accettato il messaggio.");
    case errors::DataOutOfRange:
        return translate("Sound", "Un messaggio MIDI con un valore fuori da 0-127 non è stato inviato.");
    case errors::NotChannelMessage:
        return translate("Sound", "Il messaggio MIDI non è un messaggio di canale e non è stato inviato.");
    default:
        return translate("Sound", "Errore MIDI %1.").arg(code);
    }
}

} // namespace zintaro::midi

#include "listen/listener.h"

namespace zintaro::listen {

Text captureFailureText(CaptureFailure failure)
{
    switch (failure) {
    case CaptureFailure::NoServer:
        return translate(
            "Microphone", "Nessun server audio risponde: il microfono non ascolta, si risponde con i tasti.");
    case CaptureFailure::NoDevice:
        return translate("Microphone", "Nessun ingresso audio: il microfono non ascolta, si risponde con i tasti.");
    case CaptureFailure::Refused:
        return translate("Microphone", "L'accesso al microfono è negato: si risponde con i tasti.");
    case CaptureFailure::Vanished:
        break;
    }
    return translate("Microphone", "L'ingresso audio è scomparso: si risponde con i tasti.");
}

} // namespace zintaro::listen

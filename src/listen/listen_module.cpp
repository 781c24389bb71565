#include "listen/capture_stream.h"

// The module's one entry, looked up by name when "Microfono" is first on.
extern "C" __attribute__((visibility("default"))) zintaro::listen::Listener* zintaro_listen_create_listener(
    const std::function<void()>* changed)
{
    return new zintaro::listen::CaptureStream(changed ? *changed : std::function<void()> {});
}

#pragma once

#include "core/translation.h"
#include "listen/pitch_detector.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// What the window knows of listening. The capture and the pitch detector
// live in a module of their own, loaded the first time "Microfono" is
// switched on, so that nothing of them is mapped into a program that never
// listens.
namespace zintaro::listen {

enum class CaptureState : uint8_t { Stopped, Starting, Listening, Failed };

// Why the microphone does not listen: each is one sentence for the student,
// and the trainer goes on with the keys.
enum class CaptureFailure : uint8_t {
    NoServer, // no PulseAudio or PipeWire server answers
    NoDevice, // the server has no input
    Refused, // the server or the system refused the input
    Vanished, // the input or the server went away while listening
};

Text captureFailureText(CaptureFailure failure);

struct CapturedNote {
    HeardNote note;
    // When the note began, on the clock the window times answers with.
    std::chrono::steady_clock::time_point onset;
};

// The microphone as the window drives it; see CaptureStream.
class Listener {
public:
    Listener() = default;
    virtual ~Listener() = default;
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    virtual void start(const DetectorSettings& settings) = 0;
    virtual void stop() = 0;
    virtual void configure(const DetectorSettings& settings) = 0;
    virtual CaptureState state() const = 0;
    virtual std::optional<CaptureFailure> failure() const = 0;
    virtual std::vector<CapturedNote> takeNotes() = 0;
    virtual double levelDb() const = 0;
};

// The module's entry: a listener whose `changed` is called on its own
// thread when notes were heard or its state moved.
using CreateListenerFunction = Listener* (*)(const std::function<void()>* changed);
inline constexpr const char* CreateListenerSymbol = "zintaro_listen_create_listener";

// The module's file name, without a folder.
inline constexpr const char* ListenModuleFileName = "zintaro-listen.so";

} // namespace zintaro::listen

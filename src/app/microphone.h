#pragma once

#include "app/module_loader.h"
#include "compose/listening.h"
#include "core/translation.h"

#include <QObject>
#include <QStringList>
#include <QtGlobal>
#include <memory>
#include <optional>
#include <thread>

class QElapsedTimer;
class QTimer;

namespace zintaro::listen {
class Listener;
}

namespace zintaro::app {

// "Microfono" as the window wires it: the sound server's default input,
// listened to on the capture stream's own thread for what the workspace
// asks. Nothing of the listening is made, or loaded, before it is first
// asked for: its module is loaded then, off the window's thread.
// What the stream hears crosses to the window's thread through the event
// loop; the notes' attacks are timed on the window's clock.
class Microphone : public QObject {
    Q_OBJECT
public:
    // The module is looked for in each folder in turn.
    Microphone(const QElapsedTimer& clock, QStringList moduleFolders, QObject* parent = nullptr);
    ~Microphone() override;

    // Listens for the request, starting or retuning the capture; nothing
    // stops it.
    void follow(const std::optional<compose::ListeningRequest>& request);
    bool listening() const { return m_request.has_value(); }

signals:
    void heard(int soundingMidiNote, qint64 onsetMs);
    // The input could not be opened or went away: the capture has stopped.
    void failed(const Text& why);
    // The input's loudness for the meter, 0 (silence) to 100 (full scale),
    // a few times a second while listening; -1 when it stops.
    void level(int percent);

private:
    void takeNews();
    void stop();
    void loadModule();
    void moduleLoaded(const std::optional<Text>& failure);
    void listen(const compose::ListeningRequest& request);

    const QElapsedTimer& m_clock;
    ModuleLoader m_module;
    std::thread m_loader;
    void* m_createListener = nullptr;
    std::unique_ptr<listen::Listener> m_stream;
    std::optional<compose::ListeningRequest> m_request;
    QTimer* m_meter;
};

} // namespace zintaro::app

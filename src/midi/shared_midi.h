#pragma once

#include "midi/midi_system.h"

#include <mutex>
#include <string>

namespace zintaro::midi {

// A MIDI system shared by the window's thread and the MIDI input's thread.
// Every call runs under one lock, and the input thread can send to whatever
// device the window has open without waiting for the window's event loop.
class SharedMidiSystem : public MidiSystem {
public:
    explicit SharedMidiSystem(MidiSystem& system)
        : m_system(system)
    {
    }

    int deviceCount() override
    {
        const std::lock_guard lock(m_mutex);
        return m_system.deviceCount();
    }
    MidiResult deviceName(int32_t deviceId, std::string& productName) override
    {
        const std::lock_guard lock(m_mutex);
        return m_system.deviceName(deviceId, productName);
    }
    MidiResult open(uint32_t& handle, int32_t deviceId) override
    {
        const std::lock_guard lock(m_mutex);
        const MidiResult result = m_system.open(handle, deviceId);
        if (result == MidiOk)
            m_openHandle = handle;
        return result;
    }
    MidiResult close(uint32_t handle) override
    {
        const std::lock_guard lock(m_mutex);
        if (handle == m_openHandle)
            m_openHandle = 0;
        return m_system.close(handle);
    }
    MidiResult shortMessage(uint32_t handle, uint32_t packed) override
    {
        const std::lock_guard lock(m_mutex);
        return m_system.shortMessage(handle, packed);
    }
    Text errorText(MidiResult code) override
    {
        const std::lock_guard lock(m_mutex);
        return m_system.errorText(code);
    }

    StreamClock* streamClock() override
    {
        const std::lock_guard lock(m_mutex);
        return m_system.streamClock();
    }

    // From any thread: the message to the device opened last, if one is open.
    void sendToOpenDevice(uint32_t packed)
    {
        const std::lock_guard lock(m_mutex);
        if (m_openHandle != 0)
            m_system.shortMessage(m_openHandle, packed);
    }

private:
    MidiSystem& m_system;
    std::mutex m_mutex;
    uint32_t m_openHandle = 0;
};

} // namespace zintaro::midi

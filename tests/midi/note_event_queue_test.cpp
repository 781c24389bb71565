#include "midi/note_event_queue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <array>
#include <gtest/gtest.h>
#include <thread>

using namespace zintaro::midi;

TEST(NoteEventQueue, notesPostedFromAnotherThreadArriveInOrderOnTheWindowsThread)
{
    int argc = 1;
    std::array<char*, 2> argv { const_cast<char*>("midi_tests"), nullptr };
    QCoreApplication app(argc, argv.data());
    NoteEventQueue queue;
    std::vector<NoteEvent> received;
    bool onWindowThread = true;
    QObject::connect(&queue, &NoteEventQueue::noteEvent, [&](NoteEvent e) {
        onWindowThread = onWindowThread && QThread::currentThread() == app.thread();
        received.push_back(e);
    });

    constexpr int Notes = 10'000;
    std::thread keyboard([sink = queue.sink()] {
        for (int i = 0; i < Notes; ++i)
            sink({ static_cast<int16_t>(i % 36), static_cast<int16_t>(i % 2 ? 0 : 100), i % 2 == 0 });
    });
    keyboard.join();
    QElapsedTimer timer;
    timer.start();
    while (received.size() < Notes && timer.elapsed() < 5000)
        QCoreApplication::processEvents();

    ASSERT_EQ(received.size(), std::size_t(Notes));
    EXPECT_TRUE(onWindowThread);
    for (int i = 0; i < Notes; ++i)
        ASSERT_EQ(received[i].noteIndex, i % 36) << i;
}

#pragma once

#include "app/form1.h"
#include "app/trainer_timer.h"
#include "input/piano_widget.h"
#include "support/recording_midi.h"
#include "support/recording_speech.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace zintaro::testing {

// A fresh folder for the unsaved piece while it lives, so that a window
// started in a test never finds another test's piece.
class OwnStateFolder {
public:
    OwnStateFolder()
        : m_old(qgetenv("XDG_STATE_HOME"))
    {
        qputenv("XDG_STATE_HOME", m_dir.path().toLocal8Bit());
    }
    ~OwnStateFolder() { qputenv("XDG_STATE_HOME", m_old); }
    OwnStateFolder(const OwnStateFolder&) = delete;
    OwnStateFolder& operator=(const OwnStateFolder&) = delete;
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};

// The real window on the offscreen platform, with a recording MIDI system,
// recorded speech and scripted message boxes, started as the program starts.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The answers' history and the unsaved piece go to folders of the
        // test, never the real home.
        m_oldDataHome = qgetenv("XDG_DATA_HOME");
        m_oldStateHome = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
        qputenv("XDG_STATE_HOME", stateHome.path().toLocal8Bit());
        // So do the remembered choices.
        qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
        form = std::make_unique<app::Form1>(app::Form1Services { dialogs, midi, speech, files.path() });
        form->Form_Load();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void TearDown() override
    {
        form.reset();
        qputenv("XDG_DATA_HOME", m_oldDataHome);
        qputenv("XDG_STATE_HOME", m_oldStateHome);
    }

    // Leaves "Leggi" for "Componi" and forgets what start-up sent.
    void compose()
    {
        form->controls().modeButtons.at(0)->click();
        form->controls().durationButtons.at(0)->click();
        midi.sent.clear();
    }

    QWidget* focused() const { return QApplication::focusWidget(); }

    // A key event as the piano receives it, with the physical key's native scan code.
    void send(QEvent::Type type, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, quint32 scanCode = 0,
        bool autoRepeat = false, const QString& text = {})
    {
        QKeyEvent event(type, key, mods, scanCode, 0, 0, text, autoRepeat);
        QApplication::sendEvent(focused() ? focused() : form->controls().piano->key(0), &event);
    }
    void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, quint32 scanCode = 0)
    {
        send(QEvent::KeyPress, key, mods, scanCode);
    }
    void release(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, quint32 scanCode = 0)
    {
        send(QEvent::KeyRelease, key, mods, scanCode);
    }
    void tap(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, quint32 scanCode = 0)
    {
        press(key, mods, scanCode);
        release(key, mods, scanCode);
    }

    QTemporaryDir files;
    QTemporaryDir dataHome;
    QTemporaryDir stateHome;
    QByteArray m_oldDataHome;
    QByteArray m_oldStateHome;
    QTemporaryDir configHome;
    ScriptedDialogs dialogs;
    RecordingMidiSystem midi;
    RecordingSpeech speech;
    std::unique_ptr<app::Form1> form;
};

} // namespace zintaro::testing

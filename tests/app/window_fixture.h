#pragma once

#include "app/due_timer.h"
#include "app/form1.h"
#include "app/midi_keyboard.h"
#include "app/trainer_timer.h"
#include "compose/workspace.h"
#include "input/piano_widget.h"
#include "storage/composition_file.h"
#include "storage/file_panel.h"
#include "support/recording_midi.h"
#include "support/recording_speech.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace zintaro::testing {

// Fresh folders for the unsaved piece and the remembered choices while it
// lives, so that a window started in a test never finds another test's
// piece nor the choices of whoever runs the tests.
class OwnStateFolder {
public:
    OwnStateFolder()
        : m_old(qgetenv("XDG_STATE_HOME"))
        , m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_STATE_HOME", m_dir.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }
    ~OwnStateFolder()
    {
        qputenv("XDG_STATE_HOME", m_old);
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }
    OwnStateFolder(const OwnStateFolder&) = delete;
    OwnStateFolder& operator=(const OwnStateFolder&) = delete;
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_config;
    QByteArray m_old;
    QByteArray m_oldConfig;
};

// A MIDI keyboard's note played and let go, as its thread reports it; the
// answer judged, the next note waited for.
inline void answerFromMidiKeyboard(app::Form1& form, int midiNote)
{
    const auto key = static_cast<int16_t>(midiNote - MidiNoteOfLowestKey);
    emit form.midiKeyboard().keyPressed(key, 100);
    emit form.midiKeyboard().keyReleased(key);
    QTRY_VERIFY_WITH_TIMEOUT(!form.answerTimer().isActive(), 3000);
}

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
        form = std::make_unique<app::Form1>(
            app::Form1Services { dialogs, midi, speech, files.path(), false, progressModuleFolders });
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

    // The piece of `notes` entries of `entry`, loaded through the file panel
    // as the student loads one; the cursor stands after it.
    void loadPiece(int notes, Entry entry)
    {
        Modulo1 piece;
        for (int i = 0; i < notes; ++i)
            piece.Composition.set(i, entry);
        piece.Composition.set(notes, EndEntry);
        piece.NoteCount = notes;
        const std::filesystem::path folder = dataHome.path().toStdString();
        ASSERT_EQ(storage::saveComposition(piece, folder, "piece").result, storage::SaveResult::Saved);
        emit form->controls().filePanel->loadRequested(folder / "piece.txt");
        ASSERT_EQ(form->workspace().state().NoteCount, notes);
    }

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
    QStringList progressModuleFolders; // empty: where the program looks
    ScriptedDialogs dialogs;
    RecordingMidiSystem midi;
    RecordingSpeech speech;
    std::unique_ptr<app::Form1> form;
};

} // namespace zintaro::testing

#pragma once

#include "input/key_map.h"
#include "input/piano_view.h"

#include <QWidget>
#include <array>
#include <functional>

namespace zintaro::input {

// One key of the piano. Keys take no mouse input; they show the notes played
// from the computer keyboard or by the trainer. Key 0 can hold the keyboard
// focus and hands the key events to the piano.
class PianoKey : public QWidget {
    Q_OBJECT
public:
    PianoKey(int index, QWidget* parent);

    int index() const { return m_index; }
    bool isBlack() const { return m_black; }
    bool isPressed() const { return m_pressed; }
    void setPressed(bool pressed);

signals:
    void keyDown(QKeyEvent* event);
    void keyUp(QKeyEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    int m_index;
    bool m_black;
    bool m_pressed = false;
};

// The 36 keys (the control array `key`), laid out as the window's piano
// frame holds them: white keys 33 × 145 pixels, black keys 17 × 89 above them.
class PianoWidget : public QWidget, public PianoView {
    Q_OBJECT
public:
    explicit PianoWidget(QWidget* parent);

    bool isPressed(int index) const override;
    void setPressed(int index, bool pressed) override;

    PianoKey* key(int index) const { return m_keys.at(index); }
    // Puts the keyboard focus on key 0, where the computer keyboard plays.
    void focusFirstKey();

signals:
    void keyDown(QKeyEvent* event);
    void keyUp(QKeyEvent* event);

private:
    std::array<PianoKey*, 36> m_keys {};
};

// The key code a key event stands for: the upper-case letter or the digit of
// the digit row, whatever the shift state and whatever character the layout
// gives a shifted digit; -1 for anything else (the numeric keypad included).
// Letters go by their character where the layout gives a Latin one, and by
// position, as on a US layout, where it does not.
int16_t keyCodeOf(const QKeyEvent& event);

// The octaves a key moves the computer keyboard's notes by: −1 for Page
// Down, +1 for Page Up, 0 for any other key.
int octaveStepOf(const QKeyEvent& event);

} // namespace zintaro::input

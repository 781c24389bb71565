#include "input/piano_widget.h"

#include "core/note_model.h"

#include <QKeyEvent>
#include <QPainter>
#include <string_view>

namespace zintaro::input {

namespace {

constexpr int WhiteWidth = 33;
constexpr int WhiteHeight = 145;
constexpr int BlackWidth = 17;
constexpr int BlackHeight = 89;
constexpr int KeyTop = 8;

// Left edges in pixels inside the piano frame: white key n at 16 + 32·n;
// a black key 8 pixels left of the next white key.
std::array<QRect, 36> keyRects()
{
    std::array<QRect, 36> rects {};
    int white = 0;
    for (int i = 0; i < 36; ++i) {
        if (isSharp(static_cast<int16_t>(i))) {
            rects[i] = QRect(16 + 32 * white - 8, KeyTop, BlackWidth, BlackHeight);
        } else {
            rects[i] = QRect(16 + 32 * white, KeyTop, WhiteWidth, WhiteHeight);
            ++white;
        }
    }
    return rects;
}

// The letters of a US layout by X11 / evdev key code, from 24 (Q) to 58 (M).
constexpr std::string_view UsLettersFromQ = "QWERTYUIOP    ASDFGHJKL     ZXCVBNM";
constexpr quint32 KeyCodeOfQ = 24;

char usLetterAt(quint32 scan)
{
    if (scan < KeyCodeOfQ || scan >= KeyCodeOfQ + UsLettersFromQ.size())
        return 0;
    const char letter = UsLettersFromQ[scan - KeyCodeOfQ];
    return letter == ' ' ? 0 : letter;
}

bool isLatinLetter(const QString& text)
{
    if (text.size() != 1)
        return false;
    const char16_t c = text.front().unicode();
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

} // namespace

PianoKey::PianoKey(int index, QWidget* parent)
    : QWidget(parent)
    , m_index(index)
    , m_black(isSharp(static_cast<int16_t>(index)))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(index == 0 ? Qt::TabFocus : Qt::NoFocus);
    setObjectName(QStringLiteral("key%1").arg(index));
    QFont f = font();
    f.setFamily(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(8.25);
    setFont(f);
}

void PianoKey::setPressed(bool pressed)
{
    if (m_pressed == pressed)
        return;
    m_pressed = pressed;
    update();
}

void PianoKey::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // A pressed key takes a blue face, plainly unlike the keys at rest.
    const QColor face = m_black ? (m_pressed ? QColor(40, 80, 190) : QColor(Qt::black))
                                : (m_pressed ? QColor(150, 190, 255) : QColor(Qt::white));
    p.fillRect(rect(), face);
    // Every key has a dark outline, so neighbouring white keys stay apart
    // also where no black key lies between them; a pressed key is sunk,
    // its inner edge dark on top and left.
    p.setPen(QColor(48, 48, 48));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(m_pressed ? QColor(90, 90, 90) : (m_black ? QColor(90, 90, 90) : QColor(235, 235, 235)));
    p.drawLine(1, 1, width() - 2, 1);
    p.drawLine(1, 1, 1, height() - 2);
    p.setPen(m_black ? Qt::white : Qt::black);
    const QRect text = rect().adjusted(0, 0, 0, m_pressed ? 0 : -2);
    p.drawText(text, Qt::AlignHCenter | Qt::AlignBottom, QString(QChar(KeyShortcuts[m_index].caption)));
    if (hasFocus()) {
        p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
        p.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

void PianoKey::keyPressEvent(QKeyEvent* event)
{
    emit keyDown(event);
}

void PianoKey::keyReleaseEvent(QKeyEvent* event)
{
    emit keyUp(event);
}

// Tab and Backtab are keys like the others here: they must not move the focus
// off the piano.
bool PianoKey::focusNextPrevChild(bool)
{
    return false;
}

PianoWidget::PianoWidget(QWidget* parent)
    : QWidget(parent)
{
    const auto rects = keyRects();
    for (int i = 0; i < 36; ++i) {
        m_keys[i] = new PianoKey(i, this);
        m_keys[i]->setGeometry(rects[i]);
        connect(m_keys[i], &PianoKey::keyDown, this, &PianoWidget::keyDown);
        connect(m_keys[i], &PianoKey::keyUp, this, &PianoWidget::keyUp);
    }
    // Black keys lie above the white keys.
    for (PianoKey* k : m_keys)
        if (k->isBlack())
            k->raise();
}

bool PianoWidget::isPressed(int index) const
{
    return m_keys.at(index)->isPressed();
}

void PianoWidget::setPressed(int index, bool pressed)
{
    m_keys.at(index)->setPressed(pressed);
}

void PianoWidget::focusFirstKey()
{
    m_keys[0]->setFocus(Qt::OtherFocusReason);
}

int16_t keyCodeOf(const QKeyEvent& event)
{
    if (event.modifiers() & Qt::KeypadModifier)
        return -1;
    // Ctrl and Alt make a shortcut of a key, never a note. A release still
    // counts, so a note held while Ctrl goes down is let go.
    if (event.type() == QEvent::KeyPress && (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return -1;
    // The digit row by its physical key (X11 and Wayland key codes 10..19 are
    // 1..9, 0), so a shifted digit plays whatever character the layout gives.
    const quint32 scan = event.nativeScanCode();
    if (scan >= 10 && scan <= 19)
        return static_cast<int16_t>(scan == 19 ? '0' : '1' + (scan - 10));
    // Letters by their character, as the piano's captions read on any Latin
    // layout; a key that gives no Latin letter (Cyrillic, Greek, Hebrew, ...)
    // by where it is, as the US letter there.
    const int key = event.key();
    const QString text = event.text();
    const bool latinKey = key >= Qt::Key_A && key <= Qt::Key_Z;
    if (latinKey && (text.isEmpty() || isLatinLetter(text)))
        return static_cast<int16_t>(key);
    if (const char letter = usLetterAt(scan))
        return letter;
    if (latinKey || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<int16_t>(key);
    return -1;
}

} // namespace zintaro::input

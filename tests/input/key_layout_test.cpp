#include "input/piano_widget.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

using zintaro::input::keyCodeOf;

namespace {

struct LayoutCase {
    const char* layout;
    int key; // Qt's key
    quint32 scan; // the X11 / evdev key code
    const char16_t* text;
    int16_t expected;
};

QKeyEvent press(const LayoutCase& c, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return QKeyEvent(QEvent::KeyPress, c.key, modifiers, c.scan, 0, 0, QString::fromUtf16(c.text));
}

} // namespace

TEST(KeyCodeOf, lettersPlayByCharacterOnLatinLayoutsAndByPositionOnOthers)
{
    const LayoutCase cases[] = {
        { "US", Qt::Key_Q, 24, u"q", 'Q' },
        { "US shifted", Qt::Key_M, 58, u"M", 'M' },
        { "US semicolon", Qt::Key_Semicolon, 47, u";", -1 },
        // AZERTY: the key captioned A (where US has Q) plays A, Q and M are
        // where the layout puts them.
        { "French A", Qt::Key_A, 24, u"a", 'A' },
        { "French Z", Qt::Key_Z, 25, u"z", 'Z' },
        { "French Q", Qt::Key_Q, 38, u"q", 'Q' },
        { "French W", Qt::Key_W, 52, u"w", 'W' },
        { "French M", Qt::Key_M, 47, u"m", 'M' },
        { "French shifted digit row", Qt::Key_1, 10, u"1", '1' },
        { "French unshifted digit row", Qt::Key_Ampersand, 10, u"&", '1' },
        { "French é on the 2", Qt::Key_Eacute, 11, u"é", '2' },
        // Russian: every letter key by its position.
        { "Russian й", 0x0419, 24, u"й", 'Q' },
        { "Russian ф", 0x0424, 38, u"ф", 'A' },
        { "Russian я", 0x042F, 52, u"я", 'Z' },
        { "Russian ь", 0x042C, 58, u"ь", 'M' },
        { "Russian ш", 0x0428, 31, u"ш", 'I' },
        { "Russian ж (US semicolon)", 0x0416, 47, u"ж", -1 },
        { "Russian Ё (US grave)", 0x0401, 49, u"Ё", -1 },
        { "Greek ς", 0x03C2, 25, u"ς", 'W' },
        // Events made by programs carry no scan code: the key decides.
        { "no scan code", Qt::Key_T, 0, u"t", 'T' },
        { "no scan code, no text", Qt::Key_Z, 0, u"", 'Z' },
        { "no scan code, digit", Qt::Key_5, 0, u"5", '5' },
        { "space", Qt::Key_Space, 65, u" ", -1 },
    };
    for (const LayoutCase& c : cases) {
        EXPECT_EQ(keyCodeOf(press(c)), c.expected) << c.layout;
        EXPECT_EQ(keyCodeOf(press(c, Qt::KeypadModifier)), -1) << c.layout << " on the keypad";
    }
}

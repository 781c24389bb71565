#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zintaro::input {

struct KeyShortcut {
    char caption; // the character on the key
    int16_t keyCode; // the upper-case letter's or the digit's character code
};

// The computer-keyboard shortcut of each piano key, by NoteIndex. The white
// keys lie on the letter rows, the black keys on the digit row and I O P K L.
inline constexpr std::array<KeyShortcut, 36> KeyShortcuts = { {
    { 'Q', 81 },
    { '1', 49 },
    { 'W', 87 },
    { '2', 50 },
    { 'E', 69 },
    { '3', 51 },
    { 'R', 82 },
    { 'T', 84 },
    { '4', 52 },
    { 'Y', 89 },
    { '5', 53 },
    { 'U', 85 },
    { 'A', 65 },
    { '6', 54 },
    { 'S', 83 },
    { '7', 55 },
    { 'D', 68 },
    { '8', 56 },
    { 'F', 70 },
    { 'G', 71 },
    { '9', 57 },
    { 'H', 72 },
    { '0', 48 },
    { 'J', 74 },
    { 'Z', 90 },
    { 'I', 73 },
    { 'X', 88 },
    { 'O', 79 },
    { 'C', 67 },
    { 'P', 80 },
    { 'V', 86 },
    { 'B', 66 },
    { 'K', 75 },
    { 'N', 78 },
    { 'L', 76 },
    { 'M', 77 },
} };

// The index of the piano key with this key code, or -1.
constexpr int16_t keyIndexOf(int16_t keyCode)
{
    for (int16_t i = 0; i < static_cast<int16_t>(KeyShortcuts.size()); ++i) {
        if (KeyShortcuts[static_cast<std::size_t>(i)].keyCode == keyCode)
            return i;
    }
    return -1;
}

} // namespace zintaro::input

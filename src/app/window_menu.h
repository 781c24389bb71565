#pragma once

#include <array>

class QMainWindow;
class QMenu;

namespace zintaro::app {

struct WindowControls;

// The keys of "Armatura" in their order, by the sharps (positive) or flats
// of their signature; the entry after them draws a new key each session.
inline constexpr std::array<int, 15> KeyMenuFifths = { 0, 1, 2, 3, 4, 5, 6, 7, -1, -2, -3, -4, -5, -6, -7 };

// "Menù" and its entries, with the window's F10 that opens it.
void addWindowMenu(QMainWindow& window, WindowControls& c);

// The menu's words in the language of the moment, each entry with its letter.
void retranslateWindowMenu(WindowControls& c);

// Underlines a letter of every entry of the menu, a different one for each,
// so that Alt and the letter, or the letter while the menu is open, choose
// it. The words themselves stay as they are; a second call on the same
// words underlines the same letters.
void underlineLetters(QMenu& menu);

} // namespace zintaro::app

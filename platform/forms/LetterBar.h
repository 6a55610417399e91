#pragma once
// The letter bar of the catalogue windows: one place per letter A to Z,
// each with three buttons of which exactly one is visible, the normal
// face (the letter has titles), the active face (the title list shows the
// letter) and the no-data face. Buttons are numbered from 1: the letter at
// position k (A = 0) has the buttons 3k + 1, 3k + 2, 3k + 3, and 3k + 1 is
// the letter's button number.
#include <QAction>
#include <array>
#include <functional>
#include <string>

class QToolBar;

namespace forms {

using LetterButtons = std::array<QAction*, 79>;  // index 0 unused

// Fills bar with the 78 buttons, every letter showing its no-data face;
// click gets the index of a triggered button.
void BuildLetterBar(QToolBar* bar, LetterButtons& buttons, const std::function<void(int)>& click);

// The letter a title is listed under: the base letter of its first
// character ("école" and "Étude" under E), "A" for anything that is not a
// letter A to Z.
std::string TitleLetter(const std::string& name);
bool IsBarLetter(const std::string& text);
// The button number of a letter A to Z (A 1, B 4, ... Z 76).
int LetterButtonNumber(const std::string& letter);
// The letter of any of the 78 buttons.
std::string LetterOfButton(int index);

// Every letter shows its no-data face.
void ResetLetterButtons(const LetterButtons& buttons);
// The letter with this button number shows its normal face.
void ShowLetterWithTitles(const LetterButtons& buttons, int number);
// The previous letter goes back to its normal face and the active letter
// takes its active face; a letter showing its no-data face keeps it.
// Numbers that are no letter's button number change nothing.
void SwapLetterButtons(const LetterButtons& buttons, int active, int previous);

}  // namespace forms

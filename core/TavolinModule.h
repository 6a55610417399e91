#pragma once
// The helper module Tavolin: routines the windows share for moving data
// between the collection database and controls, and for giving every
// window the same input, help and shell behaviour.
//
// How the routines reach controls: a routine that takes a window finds its
// controls by objectName, at any depth below the window:
//   "Select_Item_Combo"  QComboBox (FillSelectItemCombo)
//   "Artist_UseWith_<i>" QCheckBox, element i of the check-box array
//                        (LoadUseWithBoxes, SaveUseWithBoxes)
//   "Picture_Box"        QLabel showing the picture (LoadPictureForRecord)
//   "Toolbar1"           QToolBar whose first six actions, separators
//                        counted, are Add, Cancel add, File, Delete,
//                        Previous, Next (toolbar states)
// A missing control raises vb::RuntimeError (438, or 340 for an array
// element), which goes to the calling event handler. Routines that act on
// one control take that control (a QLineEdit, QComboBox, QTextEdit or
// QPlainTextEdit).
//
// Pictures are stored in a record's Picture field as "pics\" and the file
// name. The name becomes a path only when the file is opened: the picture
// folder and the file are found without regard to letter case. A missing
// or unreadable picture shows no picture; the routines here never clear a
// stored picture reference.
#include <cstdint>
#include <string>
#include <vector>

#include <QString>

#include "core/TVNDATA.h"
#include "platform/dao/Dao.h"

namespace forms {
class DateBox;
}

class QComboBox;
class QToolBar;
class QWidget;

namespace forms {
class FlexGrid;
}

namespace tvn {

// ---- record and lookup data helpers

// Fills the window's Select_Item_Combo with the named field of every row of
// the recordset, in the letter order of vb::CompareLetters (the order of
// the title list, whatever the recordset's), and shows the first value as the
// combo's text. The recordset keeps its position. Call only when the
// recordset has rows.
void FillSelectItemCombo(const std::string& fieldName, QWidget* window, dao::Recordset& rs);

// The section flags of a lookup row and the check boxes bound to them:
// Artist_UseWith_<first> .. <first + 5> for cas, cd, DVD, lp, VT, scd.
// Ticks the boxes of the flags that are true; never unticks a box.
void LoadUseWithBoxes(std::int16_t firstIndex, QWidget* window, dao::Recordset& rs);
// Starts a new row (adding) or an edit of the current row and writes the
// six flags: true exactly for a ticked box (a partly ticked box is false).
// The row is left pending: the caller writes its fields and calls Update.
void SaveUseWithBoxes(std::int16_t firstIndex, QWidget* window, dao::Recordset& rs, bool adding);
// The same for any list of flag fields bound to the boxes <boxes>_<first> ...
void LoadUseWithBoxes(std::int16_t firstIndex, QWidget* window, dao::Recordset& rs,
                      const std::vector<std::string>& flags, const char* boxes);
void SaveUseWithBoxes(std::int16_t firstIndex, QWidget* window, dao::Recordset& rs, bool adding,
                      const std::vector<std::string>& flags, const char* boxes);
// The media section flags in box order: cas, cd, DVD, lp, VT, scd.
const std::vector<std::string>& MediaSectionFlags();

// Fills the combo with the distinct non-empty values of a mediadata field
// among the records of the current section, in ascending order. filter is
// "" or a WHERE clause beginning with " where"; on return it holds the
// clause that was used.
void FillDistinctCombo(QComboBox* combo, const std::string& fieldName, std::string& filter);

// The text of a quick-display cell: numbers as digits, a Null as "", a
// date field "mm/dd/yyyy" (empty for what is no date).
QString QuickListCellText(const vb::Variant& value, bool date);

// Fills the quick-display grid with every record of the collection: row 0
// the captions, one row per record ordered by section number and name;
// column 0 (hidden) the section number. An empty collection gives the
// header and one empty row.
void FillQuickDisplayGrid(forms::FlexGrid& grid, dao::Database& db);
// The same for the grid "QDGrid" of the open quick-display window
// ("AVQDForm") on the open collection; nothing when the window is closed.
void FillQuickDisplayGrid();

// Lets the user choose a picture for the current row of the recordset,
// copies it into the picture folder when it lies elsewhere (on the user's
// consent, under a free name), stores "pics\" and its name in the row's
// Picture field and shows it in the window's Picture_Box. A name whose
// reference does not fit the field is refused with a message before
// anything is copied. A row another program removed raises
// dao::errRecordDeleted for the caller to tell; Cancel, a refused copy and
// any other failure end it without a message and without writing.
void LoadPictureForRecord(QWidget* window, dao::Recordset& rs);
// The file types of the picture dialog, JPG first; extensions match in any
// letter case, and ".jpeg" counts as JPG.
std::string PictureFileFilter();
// Clears the Picture field of the current row (the file stays where it
// is); a failure drops the edit and reaches the caller.
void DeletePictureOfRecord(dao::Recordset& rs);
// The characters the recordset's text field holds (0: no such text field).
int TextFieldWidth(const dao::Recordset& rs, const std::string& field);

// "pics\" and the file name: the stored form of a picture reference.
std::string PictureReference(const std::string& fileName);
// The picture folder under the program folder, whatever its letter case;
// "<program folder>/PICS" when there is none yet.
std::string PictureFolder();
// True when the file lies directly in the picture folder.
bool IsInPictureFolder(const std::string& path);
// A file name for the picture folder that no file there has (letter case
// ignored): the name itself, else "name (2).ext", "name (3).ext" ...
std::string FreePictureName(const std::string& folder, const std::string& fileName);
// Copies a file into the picture folder (made when missing) under a free
// name and returns that name; never replaces a file. Raises
// vb::RuntimeError when the copy fails.
std::string CopyPictureIntoFolder(const std::string& source);
// The file a stored reference names, found without regard to letter case;
// "" when the reference is empty or the file does not exist.
std::string PicturePath(const std::string& storedReference);
// Shows the picture a stored reference names in a QLabel; false (and no
// picture shown) when it is missing or not a readable picture. No message,
// and the stored reference is left alone.
bool ShowPicture(QWidget* pictureBox, const std::string& storedReference);

// ---- input, window, help and shell helpers

// A date box that can be filed (empty, or a date that reads for sure);
// otherwise says so with the text typed, puts the focus in the box and
// returns false, so nothing is written and the stored date stays.
bool CheckFileableDate(forms::DateBox* box);
// A box filed into a numeric column. ReadNumberToFile: the text (blanks
// around it aside) is a number from lowest to highest, whole where the
// column holds whole numbers only; value is set then. CheckFileableNumber:
// an empty box or such a number; otherwise the message names the field
// (its caption) and what it takes, the focus goes to the box, and false
// comes back, so nothing is written and the typing stays.
bool ReadNumberToFile(const std::string& text, double lowest, double highest, bool whole, double& value);
bool CheckFileableNumber(QWidget* box, const std::string& caption, double lowest, double highest, bool whole);

// Opens a file, web or "mailto:" address with the desktop's program for
// it; on failure the message "error executing command!".
void OpenWithShell(const std::string& target);

// Moves a window's set of records one row on (direction 1) or back (2),
// wrapping round at either end; a move that fails (an empty or closed
// set) leaves the set where it is.
void MoveRecord(dao::Recordset* rs, int direction);

// The three toolbar states over buttons 1 to 6 of Toolbar1 (buttons from 7
// on are left alone): adding (Cancel add and File), browsing (all but
// Cancel add), empty (Add only).
void ToolbarAddMode(QWidget* window);
void ToolbarBrowseMode(QWidget* window);
void ToolbarEmptyMode(QWidget* window);
void ToolbarAddMode(QToolBar* toolbar);
void ToolbarBrowseMode(QToolBar* toolbar);
void ToolbarEmptyMode(QToolBar* toolbar);

// Removes every double quote from the control's text, with one message.
// Call it from the control's key-release (or text-changed) event.
void CheckNoQuote(QWidget* control);

// Completes a combo box's text from its list while the user types. Call it
// from the KeyPress of an editable combo (its line edit) with the typed
// character's code; when it sets the code to 0 the key was used and the
// caller drops the event. activeControl: the combo that has the focus
// (nullptr: the application's focus widget). Works only while the menu
// entry (QAction) "SmartComboMenu" of an open window is checked; a combo
// that is not editable is left alone. Give such combos
// forms::MakePlainCombo, so Qt's own completion does not act as well.
void ComboAutoComplete(std::int16_t& keyAscii, QWidget* activeControl = nullptr);
bool SmartComboEnabled();
// Wires an editable combo's key presses to ComboAutoComplete (and makes it
// a plain combo): what a window does for each of its completing combos.
void AttachComboAutoComplete(QComboBox* combo);

// F7 (key code 118 or Qt::Key_F7) checks the control's spelling; F8 (119 or
// Qt::Key_F8) looks its selected text up in the thesaurus. Other keys, and
// F8 without a selection, do nothing.
void SpellAndThesaurusKeys(QWidget* control, int keyCode);
// The spelling dialog over the control's text, then checking as it is
// typed (underlined unknown words; rich and plain text boxes only).
void CheckSpellingOfWindow(QWidget* control);
// Checking as the control's text is typed.
void CheckTyping(QWidget* control);

// Help topics.
enum ContextIDs : std::int32_t {
  HelpContents = 1,
  HelpGettingStarted = 2,
  HelpStartWindow = 10,
  HelpLauncher = 11,
  HelpCatalogue = 12,
  HelpCollections = 13,
  HelpArtists = 14,
  HelpCategories = 15,
  HelpLabels = 16,
  HelpQuickDisplay = 17,
  HelpTips = 18,
  HelpSelection = 19,
  HelpTitleEntry = 20,
  HelpAbout = 21,
  HelpReports = 22,
  HelpGames = 23,
};

// Sets the owner window of the help and the help file: the folder and
// "Reruve.HLP", with no doubled separator when the folder ends in one.
void SetHelpFile(QWidget* owner, const std::string& folder);
std::string HelpFile();
QWidget* HelpOwnerWindow();
// Shows the topic in the help window (the help shipped with the program
// when the help file is not found).
void ShowHelpTopic(std::int32_t topic);
// Closes the help window.
void QuitHelp();

// Sets App().TipNum from the setting "TipOnOff": "0" gives 0, a number
// gives that number rounded; a missing, non-numeric or out-of-range value
// gives 0.
void ReadTipSetting();

// Before a new section is chosen: CSEnter and LoadFirstRec true, the
// eleven section flags false.
void ResetSectionFlags();

}  // namespace tvn

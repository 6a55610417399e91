#pragma once
// The one door through which every message box, input box and file dialog
// of the program passes. Tests script the answers; with the environment
// variable TAVOLIN_PROMPT_LOG naming a file nothing is shown: each box is
// appended to that file as one line and answered with its default button.
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace vb {

// Buttons, icon and default button, added together as in MsgBox's second argument.
enum MsgBoxStyle : int {
  vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3,
  vbYesNo = 4, vbRetryCancel = 5,
  vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
  vbDefaultButton1 = 0, vbDefaultButton2 = 256, vbDefaultButton3 = 512,
};
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// The application title, used when a box has no title of its own.
void SetAppTitle(const std::string& title);
std::string AppTitle();

int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = "");
// Returns the text typed, or "" when cancelled (as the runtime does). A
// maxLength above 0 is the most characters the box takes.
std::string InputBox(const std::string& prompt, const std::string& title = "",
                     const std::string& defaultText = "", int maxLength = 0);
// File dialogs; "" when cancelled. filter as Qt's ("Pictures (*.bmp *.jpg)").
std::string GetOpenFileName(const std::string& title, const std::string& filter,
                            const std::string& folder = "");
std::string GetSaveFileName(const std::string& title, const std::string& filter,
                            const std::string& folder = "");

// Shows a caught error as the runtime does: number and text; an error of
// the data layer (numbers 3000 to 3999) in words only, never as a bare
// "Error NNNN".
void ShowError(int number, const std::string& description, const std::string& title = "");
bool IsEngineErrorNumber(int number);
// The words ShowError gives an error of the data layer.
std::string EngineErrorText(int number, const std::string& description);

// ---- scripting, for tests and automation
struct PromptRecord {
  std::string kind;   // "msgbox", "inputbox", "open", "save"
  std::string title;
  std::string text;
  int buttons = 0;    // MsgBox style, 0 for the others
  std::string defaultText;
  int maxLength = 0;  // input box: the most characters it takes (0: no limit)
};
// An answer: for a message box the MsgBoxResult, for the others the text
// (an empty text is Cancel / no choice).
struct PromptAnswer {
  int button = 0;
  std::string text;
};
class PromptScript {
 public:
  // While a script is installed, boxes are not shown: each is recorded and
  // answered from the queue; an empty queue answers with the default button.
  static void Install();
  static void Uninstall();
  static void Answer(int button);                 // next message box
  static void AnswerText(const std::string& text);  // next input box or file dialog
  static void Clear();
  static const std::vector<PromptRecord>& Records();
  static std::vector<std::string> Texts();  // the text of every box so far
};

}  // namespace vb

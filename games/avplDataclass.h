#pragma once
// The game library's shared state: what the windows of the library tell
// each other (section shown, console flags, letter bar, open collection).
// A plain bag of values; one instance lives as long as the library.
#include <cstdint>
#include <string>

class avplDataclass {
 public:
  bool QDOpen = false;        // the quick display is open
  bool LoadFirstRec = false;  // show the title list from "A" instead of a record
  bool CSEnter = false;       // the section's lists and captions must be (re)loaded
  std::string SLetterW;       // the letter of the shown title list
  std::int16_t A_Button = 0;  // letter bar state
  std::int16_t P_Button = 0;  // letter bar state
  std::string APath;          // the program folder
  bool XOn = false;           // console flags: exactly one is set while a section is shown
  std::uint8_t SectionNumber = 0;
  bool OtherOn = false;
  bool NTOn = false;
  bool GBOn = false;
  bool PSOn = false;
  bool SegaOn = false;
  std::string CurCollection;  // display name of the open game collection
  std::string LastDB;         // its file name, without folder
};

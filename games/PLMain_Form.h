#pragma once
// The game catalogue window: the section bar of consoles on the left, the
// letter bar and the title list above, the record editor in seven tabs on
// the right. One window shows one console section at a time; routines
// copy between a row of mediadata and the controls field by field.
//
// Controls and routines are public, as on a classic form: the quick
// display and the collection manager call ItemClickProcessPL and
// LoadData_PL, and the tests look at the controls. The window is split by
// concern over PLMain_Form*.cpp:
//   PLMain_Form.cpp          life (initialise, load, activate, unload)
//   PLMain_Form_Layout.cpp   building the controls
//   PLMain_Form_Sections.cpp section switch, lookup lists, link grids
//   PLMain_Form_Record.cpp   record load and clearing
//   PLMain_Form_Titles.cpp   title list and letter bar
//   PLMain_Form_Menus.cpp    menus and compaction
//   PLMain_Form_Save.cpp     record save and lookup upkeep
//   PLMain_Form_Commands.cpp toolbar, navigation, picture and date buttons
#include "core/RecordWindow.h"
#include "core/SectionTitles.h"
#include "platform/forms/DateBox.h"
#include "platform/forms/FlexGrid.h"

class QStatusBar;
class QTextEdit;

namespace pl {

// The six console sections: number (1 to 6, index + 1), section-bar text,
// the flag name the lookup lists filter on, the caption suffix and the
// table of the user-field captions.
struct GameSection {
  const char* caption;
  const char* flag;
  const char* suffix;
  const char* captionTable;
};
const std::array<GameSection, 6>& GameSections();

class PLMain_Form : public tvn::RecordWindow {
  Q_OBJECT

 public:
  static constexpr int kNameLength = 48;  // what the name field stores

  PLMain_Form();
  ~PLMain_Form() override;

  // ---- life of the window (PLMain_Form.cpp)
  void Form_Initialize();
  void Form_Load();
  void Form_Activate();
  void Form_Unload();
  // Closes the window as its close box does: a typed change to the game on
  // show is asked about first, then the unload runs once and the window is
  // released (the next use makes a new one).
  void Unload() { close(); }

  // ---- sections, lookup lists and link grids (PLMain_Form_Sections.cpp)
  void SSListBar1_ItemClick(const std::string& caption) override;
  void ItemClickProcessPL(std::uint8_t& section);
  void OpenSectionRecordset();
  void SetupSection();
  void FillRatingFormatCombos();
  bool CheckNameEntered();
  void FillPublisherCombo(const std::string& flag);
  void FillDeveloperCombo(const std::string& flag);
  void FillGenreCombo(const std::string& flag);
  void FillSysTypeGrid();
  void FillSupportsGrid();
  void ToggleGridCheck(forms::FlexGrid* grid);
  void tGrid_Click();
  void sGrid_Click();
  void EnableWindowControls(bool flag);
  // The flag name of the section on show ("gbon" ... "otheron"), "" for none.
  static std::string CurrentFlagName();
  // System types and supported features of one game.
  void LoadSysTypeMedia(long systemnumber);
  void LoadSupportsMedia(long systemnumber);
  void SaveSysTypeMedia(long systemnumber);
  void SaveSupportsMedia(long systemnumber);
  void ClearGridChecks(forms::FlexGrid* grid);

  // ---- record load (PLMain_Form_Record.cpp)
  void LoadData_PL(const std::string& name);
  void ClearGameForm();
  void SetEditState(std::uint32_t backColour, bool enabled);

  // ---- title list and letter bar (PLMain_Form_Titles.cpp)
  void Toolbar2_ButtonClick(int index) override;
  void SetActiveLetter(int buttonIndex);
  void FillTitleListByLetter(const std::string& letter);
  void MarkLettersWithTitles();
  void RefreshTitleList();
  void List_Combo_Click() override;
  void ResetLetterButtons();
  std::string ShowLetterButton(bool activate, const std::string& name);
  void SwapLetterButtons(int active, int previous);

  // ---- menus and compaction (PLMain_Form_Menus.cpp)
  void SmartComboMenu_Click();
  void menuAutoSpell_Click();
  void Exit_Menu_Click();
  void qdmenu_Click();
  void CollectionMenu_Click();
  void ArtistManagerMenu_Click();
  void CategoryMMenu_Click();
  void LSMenu_Click();
  void menuSysType_Click();
  void menuSupports_Click();
  void Compact_Menu_Click();
  void CompactGameDatabase();
  void ReportMenu_Click();
  // After a lookup editor closed: the game on show again, with the edited
  // names and links, or the title list from "A" when there is none.
  void RefreshAfterEditor();
  void Content_Menu_Click();
  void txtHints_Change();
  void txtInstructions_Change();
  void txtNotes_Change();

  // ---- record save and lookup upkeep (PLMain_Form_Save.cpp)
  void SaveRecord();
  long AddOrUpdatePublisher(const std::string& name);
  long AddOrUpdateDeveloper(const std::string& name);
  long AddOrUpdateGenre(const std::string& name);

  // ---- toolbar, navigation and buttons (PLMain_Form_Commands.cpp)
  void Toolbar1_ButtonClick(int index) override;
  void ShowCurrentRecord();
  // The letter bar and the title list come to the letter of the game
  // named, when another letter is active (a game shown from elsewhere).
  void FollowLetterOf(const std::string& name);
  void SetToolbarBrowse();
  void SetToolbarVisible();
  void SetToolbarEmpty();
  void Add_Picture_Click() override;
  void Delete_Picture_Click() override;
  void btnBlankADate_Click();
  void btnBlankRDate_Click();

  // ---- window state shared by the routines
  dao::RecordsetPtr rsSection;   // the section's games, by name
  dao::RecordsetPtr rsRecord;    // the game on show
  dao::RecordsetPtr rsCaption;   // the section's caption row
  bool AddMode = false;
  std::string CurrentLetter = "A";
  std::uint8_t WindowSection = 0;  // the window's own copy of the section number
  int CompactAnswer = 0;           // the answer of the compaction question

  // ---- controls
  // Main tab
  QLineEdit* txtName = nullptr;
  forms::DateBox* DateAquired = nullptr;
  forms::DateBox* DateReleased = nullptr;
  QPushButton* btnBlankADate = nullptr;
  QPushButton* btnBlankRDate = nullptr;
  QComboBox* cmbPublisher = nullptr;
  QComboBox* cmbDeveloper = nullptr;
  QComboBox* cmbGenre = nullptr;
  QLineEdit* txtBestFeature = nullptr;
  QLineEdit* txtWorstFeature = nullptr;
  QComboBox* cmbRating = nullptr;
  QComboBox* cmbFormat = nullptr;
  QLineEdit* txtPlayers = nullptr;
  QLineEdit* txtHomepage = nullptr;

  // Page 2 tab
  forms::FlexGrid* tGrid = nullptr;
  forms::FlexGrid* sGrid = nullptr;

  // Hints/Tips, Instructions, Notes and Picture tabs
  QTextEdit* txtHints = nullptr;
  QTextEdit* txtInstructions = nullptr;
  QTextEdit* txtNotes = nullptr;
  QScrollArea* SSScroll1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  // menus
  QMenu* vmenu = nullptr;
  QAction* qdmenu = nullptr;
  QMenu* UtilitiesMenu = nullptr;
  QAction* CollectionMenu = nullptr;
  QAction* ArtistManagerMenu = nullptr;
  QAction* CategoryMMenu = nullptr;
  QAction* LSMenu = nullptr;
  QAction* menuSysType = nullptr;
  QAction* menuSupports = nullptr;
  QAction* Compact_Menu = nullptr;
  QAction* ReportMenu = nullptr;
  QMenu* Help_Menu = nullptr;
  QAction* Content_Menu = nullptr;

 protected:
  bool event(QEvent* event) override;
  void UnloadWindow() override;
  dao::RecordsetPtr& CaptionRecordset() override { return rsCaption; }
  std::vector<QWidget*> RecordFields() const override;
  std::string RecordNameShown() const override;
  bool AddingNewRecord() const override { return AddMode; }
  bool FileShownRecord() override;
  dao::Database& RecordDatabase() const override;
  const std::vector<std::string>& FiledColumns() const override;
  void ShowStoredRecord(const std::string& name) override;
  void MoveOnFromGoneRecord(const std::string& name, int direction) override;
  void BeginFilingAsNew() override;

 private:
  void BuildWindow();
  void BuildMenus();
  QWidget* BuildMainTab();
  QWidget* BuildPage2Tab();
  void ConnectControls();
  void ConnectMenuCommands();
  void ConnectRecordEditing();  // the save side's wiring (PLMain_Form_Commands.cpp)
  bool SectionHasRows() const;
  // When the section has no rows or the title list is to start over: the
  // letter state goes back to "A" and the title list is rebuilt (true).
  bool ShowTitlesFromA();
  // Fills one lookup combo with the names flagged for the section.
  void FillLookupCombo(QComboBox* combo, const char* table, const char* field, const std::string& flag);
  void FillLinkGrid(forms::FlexGrid* grid, const char* heading, const char* sql, const char* keyField,
                    const char* nameField);
  void LoadLinks(forms::FlexGrid* grid, const char* table, const char* entryField, long systemnumber);
  void SaveLinks(forms::FlexGrid* grid, const char* table, const char* entryField, long systemnumber);
  // The title of each of rsSection's rows, in its order, read once per
  // opened set: the letter bar, the title list and the search for a game
  // by name do not read every row again.
  const std::vector<tvn::TitleKey>& Titles();
  std::vector<tvn::TitleKey> titles_;
  std::weak_ptr<dao::Recordset> titlesSource_;
  tvn::LetterCounts letterCounts_{};
  // The entry keys the publisher, developer and genre boxes were loaded
  // with (0: none); a game filed anew files them for boxes left as shown.
  long shownPublisher_ = 0, shownDeveloper_ = 0, shownGenre_ = 0;
  // The letter bar and one letter's titles of rsSection, read through the
  // name index while Titles() has not been read for the set.
  tvn::SectionTitles& SectionIndex();
  // Titles() has been read for the set now open.
  bool TitlesRead() const;
  // The titles among which a game of that name is looked for in rsSection.
  const std::vector<tvn::TitleKey>& TitlesNamed(const std::string& name);
  std::unique_ptr<tvn::SectionTitles> sectionIndex_;
  std::weak_ptr<dao::Recordset> sectionIndexSource_;
};

}  // namespace pl

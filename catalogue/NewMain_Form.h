#pragma once
// The media catalogue window: the section bar on the left, the letter bar
// and the title list above, the record editor in five tabs on the right.
// One window shows one media section at a time; routines copy between a
// row of mediadata and the controls field by field (no data binding).
//
// Controls and routines are public, as on a classic form: other windows
// (the quick display, the collection manager) call ItemClickProcess and
// CS_Load_Data, and the tests look at the controls.
#include <QPointer>
#include <array>
#include <functional>
#include <string>

#include "core/RecordWindow.h"
#include "core/SectionTitles.h"
#include "platform/forms/DateBox.h"
#include "core/TVNDATA.h"
#include "platform/dao/Dao.h"
#include "platform/forms/FlexGrid.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace tvn {

using forms::DateBox;

class NewMain_Form;

// Opens the media catalogue window, or brings it to the front when it is
// open. The launcher passes itself: its pointer is set back to the default
// at the window's first activation and its check box "AVRunning" is
// cleared when the window unloads.
void ShowCatalogueWindow(QWidget* launcher);
// Unloads the catalogue window when it is open (the launcher's close).
void CloseCatalogueWindow();
// Tells the launcher how to show, bring forward and unload this window;
// the program calls it once at start.
void RegisterCatalogueWindow();
// The open catalogue window, or nullptr.
NewMain_Form* CatalogueWindow();

class NewMain_Form : public RecordWindow {
  Q_OBJECT

 public:
  static constexpr int kTitleRows = 40;
  static constexpr int kTypedNameLength = 48;  // what a name box takes as typed

  // launcher: the window that opened this one (may be nullptr).
  explicit NewMain_Form(QWidget* launcher = nullptr);
  ~NewMain_Form() override;

  // ---- life of the window
  void Form_Initialize();
  void Form_Load();
  void Form_Activate();
  void Form_Unload();
  void EnableUi(bool on);

  // ---- sections
  void ItemClickProcess(Byte section);
  void SSListBar1_ItemClick(const std::string& caption) override;
  void SwitchSection();
  void FillFormatLists(QComboBox* list);
  // The list bar shows which section is current.
  void ShowSectionInBar(Byte section);

  // ---- record display
  void SetEditFieldsEnabled(std::uint32_t colour, bool enabled);
  void CS_Load_Data(const std::string& name);
  void ClearRecordForm();

  // ---- title list, navigation and letter bar
  void RefreshTitleList();
  void ShowCurrentTitle();
  // The letter bar and the title list come to the letter of the record
  // named, when another letter is active (a record shown from elsewhere).
  void FollowLetterOf(const std::string& name);
  void StepRecord(int mode, int direction);
  void MarkLettersWithTitles(int mode, const std::string& value);
  void ResetLetterBar();
  std::string LetterForTitle(bool activate, const std::string& name);
  void ActivateLetter(int buttonIndex);
  void ShowActiveLetter(int active, int previous);
  void FillTitleListForLetter(std::string& letter, int mode, const std::string& value);
  void FillCatalogNumberList(QComboBox* list);
  void Toolbar2_ButtonClick(int index) override;
  void List_Combo_Click() override;
  void Flocation_Click();
  void Toolbar1_ButtonClick(int index) override;
  // Forgets what the title routines know of SectionRecords' rows; needed
  // only after a name or filter field was changed through SectionRecords
  // itself (a newly opened SectionRecords is read afresh anyway).
  void InvalidateTitleRows();

  // ---- title grid, artists and picture
  void LoadTitlesAndPicture();
  void CollectArtistsAndTitles(int rowCount);
  void WriteArtistsAndTitles();
  void SetSelectionTitles();
  void UpdateAddTitleButton();

  // ---- lookup combos of the editor
  void FillArtistCombos(bool alsoOthers);
  void FillLabelStudioList(QComboBox* list);
  void FillCategoryList(QComboBox* list);

  // ---- window state shared by the routines
  dao::RecordsetPtr SectionRecords;
  dao::RecordsetPtr RecordRow;
  dao::RecordsetPtr CaptionRecords;
  dao::RecordsetPtr PublisherRecords;
  bool AddingRecord = false;
  int SelectionMode = 0;
  std::string SelectionValue;
  bool ListHasItems = false;
  std::string SelectedLetter = "A";

  // ---- controls
  // Main tab: shared fields
  std::array<QComboBox*, 4> Artist{};
  QComboBox* CD_Record_Company = nullptr;
  QComboBox* CD_Category_List = nullptr;

  // music frame
  QGroupBox* Music_Data_Frame = nullptr;
  QLabel* CSLP_Name_Label = nullptr;
  QLineEdit* CS_Name_Text = nullptr;
  QLineEdit* CS_CatNum_Text = nullptr;
  QLineEdit* CS_TTime_Text = nullptr;
  QLabel* Label10 = nullptr;
  QComboBox* CS_Format_List_Text = nullptr;
  DateBox* CS_Date_Text = nullptr;
  QPushButton* btnbdm = nullptr;
  QFrame* CDFrame = nullptr;
  QLineEdit* CD_Slot_Text = nullptr;
  QComboBox* PlayerCombo = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* CD_Serial_Text = nullptr;
  QLabel* Label11 = nullptr;
  QLineEdit* CD_Group_Text = nullptr;
  QLineEdit* FileLocationText = nullptr;
  QPushButton* Flocation = nullptr;
  QPushButton* PlayButton = nullptr;

  // video frame
  QGroupBox* Video_Data_Frame = nullptr;
  QLabel* Video_Name_Label = nullptr;
  QLineEdit* Video_Name_Text = nullptr;
  QLabel* Label7 = nullptr;
  QLineEdit* Video_CatNum_Text = nullptr;
  QLineEdit* TapeIndex = nullptr;
  QLineEdit* Video_TTime_Text = nullptr;
  QLineEdit* Video_RYear_Text = nullptr;
  QComboBox* Video_Sound_Text = nullptr;
  QComboBox* Video_Rating_Combo = nullptr;
  QComboBox* QRating = nullptr;
  DateBox* Video_Date_Text = nullptr;
  QPushButton* btnbdv = nullptr;
  QFrame* VT_Frame2 = nullptr;
  QComboBox* VT_Format_List_Text = nullptr;
  QLabel* Label20 = nullptr;
  QComboBox* Speed_List = nullptr;
  QFrame* DVDLD_Frame2 = nullptr;
  QLineEdit* Video_PRatio_Text = nullptr;
  QLineEdit* Video_SRatio_Text = nullptr;
  QComboBox* Video_Sides_Combo = nullptr;

  // software frame
  QGroupBox* SCD_Data_Frame = nullptr;
  QLineEdit* SCD_Name_Text = nullptr;
  QLineEdit* SCD_CatNum_Text = nullptr;
  QLineEdit* Homepage_text = nullptr;
  QLineEdit* Email_Text = nullptr;
  DateBox* SCD_Date_Text = nullptr;
  QPushButton* btnBlankADate = nullptr;

  // Titles tab
  forms::FlexGrid* TGrid = nullptr;
  QPushButton* AddButton = nullptr;
  QPushButton* ModifyButton = nullptr;
  QPushButton* DeleteButton = nullptr;

  // Notes and Picture tabs
  QTextEdit* CD_Notes_Text = nullptr;

  // menus (their commands are wired by the menu handlers)
  QMenu* View_Menu = nullptr;
  QAction* menuQD = nullptr;
  QAction* View_All_Artists_Menu = nullptr;
  QAction* Artist_Select_Menu = nullptr;
  QAction* Category_Select_Menu = nullptr;
  QAction* Label_Select_Menu = nullptr;
  QAction* Format_Select_Menu = nullptr;
  QAction* Tape_Select_Menu = nullptr;
  QAction* SortSelectmenu = nullptr;
  QMenu* UtilitiesMenu = nullptr;
  QAction* CollectionMenu = nullptr;
  QAction* ArtistManagerMenu = nullptr;
  QAction* CategoryMMenu = nullptr;
  QAction* LSMenu = nullptr;
  QAction* Compact_Menu = nullptr;
  QAction* ReportMenu = nullptr;
  QAction* RWStandardmenu = nullptr;
  QMenu* Help_Menu = nullptr;
  QAction* Content_Menu = nullptr;
  QAction* MenuAbout = nullptr;
  QAction* TipMenu = nullptr;
  QAction* WebMenu = nullptr;
  QAction* EmailMenu = nullptr;

  // The title list's text and current item := the record shown (name).
  void ShowTitleInList(const std::string& name);

 protected:
  bool event(QEvent* e) override;
  dao::RecordsetPtr& CaptionRecordset() override { return CaptionRecords; }
  std::vector<QWidget*> RecordFields() const override;
  std::string RecordNameShown() const override;
  bool AddingNewRecord() const override { return AddingRecord; }
  bool FileShownRecord() override { return FileRecord(); }
  void UnloadWindow() override { Form_Unload(); }
  dao::Database& RecordDatabase() const override;
  const std::vector<std::string>& FiledColumns() const override;
  void ShowStoredRecord(const std::string& name) override;
  void MoveOnFromGoneRecord(const std::string& name, int direction) override;
  void BeginFilingAsNew() override;

 private:
  // The neighbouring windows and the help viewer (CatalogueHooks).
  void ShowHelp(int topic);
  void QuitHelpViewer();
  void ShowTipsWindow();
  void CloseQuickDisplay();

  void BuildWindow();
  void BuildMenus();
  void BuildToolbars();
  QWidget* BuildMainTab();
  QWidget* BuildMusicFrame();
  QWidget* BuildVideoFrame();
  QWidget* BuildSoftwareFrame();
  QWidget* BuildTitlesTab();
  void OpenSectionRecordset();
  void OpenCaptionRecords(const std::string& table);
  void ShowCaptions();
  // What the title routines read of each row of SectionRecords, in its
  // order: read once per opened set, so the letter bar, the title list and
  // the search for a name do not fetch every row again.
  struct TitleRow : TitleKey {
    std::array<std::string, 4> artists;
    std::string category, labelstudio, format, catNumber;
  };
  const std::vector<TitleRow>& TitleRows();
  static TitleRow ReadTitleRow(const dao::Recordset& rs, dao::Recordset::BookmarkType mark);
  // Puts the row just filed (read from RecordRow) into the title rows and
  // into SectionRecords in its place in name order, taking out where it was
  // before, without running the section's query again; emptiedLetter: the
  // letter that lost its last title, "" when none did. False when the rows
  // cannot be kept so (a selection or the tape order is in force): they
  // are to be read again.
  bool PlaceFiledTitleRow(dao::Recordset::BookmarkType mark, std::string& emptiedLetter);
  LetterCounts letterCounts_{};
  static bool RowPassesSelection(const TitleRow& row, int mode, const std::string& value);
  // Leaves SectionRecords after its last row, as a full walk does.
  void MoveSectionToEnd();
  std::vector<TitleRow> titleRows_;
  std::weak_ptr<dao::Recordset> titleSource_;
  // The whole section in name order, as OpenSectionRecordset opens it: its
  // letter bar and letter lists are read through the name index (while no
  // selection is in force and TitleRows() is not read for it).
  std::weak_ptr<dao::Recordset> nameOrderedSet_;
  std::unique_ptr<SectionTitles> sectionIndex_;
  std::weak_ptr<dao::Recordset> sectionIndexSource_;
  // The reader of the index, or null when the rows are to be walked.
  SectionTitles* SectionIndex();
  // Puts SectionRecords on the row of that name (FindTitleRow).
  bool FindNamedRow(const std::string& name);
  void ShowDate(DateBox* box, const vb::Variant& value);
  // The editor's fields but the artists, the user fields and the titles.
  const std::vector<QWidget*>& EditFields() const;
  mutable std::vector<QWidget*> editFields_;
  bool SectionHasRows() const;

  QPointer<QWidget> launcher_;

  // Selection filters and menu commands
 public:
  // The View menu's selections: each asks for one value in the chooser
  // and narrows SectionRecords to the records that hold it.
  void Artist_Select_Menu_Click();
  void Category_Select_Menu_Click();
  void Label_Select_Menu_Click();
  void Format_Select_Menu_Click();
  void Tape_Select_Menu_Click();
  void View_All_Artists_Menu_Click();
  void FillArtistSelectionList();
  // Runs the active selection again; show: rebuild the title list, or
  // report that nothing was found and show the whole section.
  void RunSelectionQuery(bool show);
  // After a lookup editor closed: the active selection runs again (the
  // whole section when it finds nothing), then the record is shown again.
  void ShowRecordsAfterEditor();
  void ClearSelectionMenuChecks();
  // The View entries of which at most one is checked.
  std::vector<QAction*> SelectionMenuEntries() const;
  // The video tapes in tape number and tape index order; with
  // allowFallBack a collection without tapes shows the section by name.
  void RefreshSort(bool allowFallBack);
  void OpenVideoTapeRecordset();
  // The tape-number selection keeps the set it was chosen in; after a
  // record was filed or deleted the set is read again, in the same order.
  void ReopenKeptSelectionSet();
  std::weak_ptr<dao::Recordset> tapeOrderedSet_;

  // The menu commands.
  void SmartComboMenu_Click();
  void menuAutoSpell_Click();
  void Exit_Menu_Click();
  void menuQD_Click();
  void SortSelectmenu_Click();
  void CollectionMenu_Click();
  void ArtistManagerMenu_Click();
  void CategoryMMenu_Click();
  void LSMenu_Click();
  void Compact_Menu_Click();
  void ReportMenu_Click();
  void RWStandardmenu_Click();
  void Content_Menu_Click();
  void MenuAbout_Click();
  void TipMenu_Click();
  void WebMenu_Click();
  void EmailMenu_Click();
  // The report library's wizard (runStandard false) or standard-report
  // selector, through the one program-wide entry object.
  void RunReportLibrary(bool runStandard);

 private:
  void ConnectMenuCommands();
  // One selection command: its menu entry, the chooser's prompt, the fill
  // of the chooser's list, the selection mode, and whether the first
  // artist box is emptied.
  void RunSelectionCommand(QAction* entry, const char* prompt, const std::function<void(QComboBox*)>& fill,
                           int mode, bool emptyFirstArtist);
  void EnableRecordFrames(bool on);
  // Shows the current record again, or the title list when there is none
  // (after a lookup editor changed names the record may show).
  void ShowRecordAgain();
  // Closes the recordsets the window holds on the collection.
  void CloseWindowRecordsets();
  // Opens TVNDATA.LastDB as the collection, brought to the current layout.
  void OpenCollectionAtLastDB();
  // ItemClickProcess for the window's first read of a collection: what
  // fails is raised to the caller instead of told.
  void ReadFirstSection(Byte section);
  bool raiseSectionErrors_ = false;
  // The window's first read of a collection: the section it showed last
  // ("LG"), from its first title, with what fails raised.
  void ReadLastSection();
  // Closes the window's recordsets and the collection, as after a failed
  // first read.
  void CloseCollection();
  // The first activation's read of the collection the start opened, with
  // the way on when it meets a damaged file.
  void ReadCollectionFirst();

  // Record editing: save, record commands, lookup combos, field input
 public:
  // ---- record save
  bool ValidateNameEntered();
  // Stores the editor's contents; a database error is thrown with nothing
  // of the record or its lookup rows written, the editor left as it was.
  void SaveRecordFromForm();
  // The name the record is stored under: the given name when the section
  // has no other record of it, else the name with "- 2", "- 3" ... and the
  // base shortened so that the whole fits the column.
  std::string UniqueSectionName(const std::string& name, const std::string& ownName, int section);

  // ---- record commands (Toolbar1 and the editor's buttons)
  void AddRecord();
  void CancelAdd();
  // Files the record on show; false when refused or failed (nothing filed).
  bool FileRecord();
  void DeleteRecord();
  void ReportButton_Click();
  void AddButton_Click();
  void ModifyButton_Click();
  void DeleteButton_Click();
  void Add_Picture_Click() override;
  void Delete_Picture_Click() override;
  void btnbdm_Click();
  void btnbdv_Click();
  void btnBlankADate_Click();
  void PlayButton_Click();
  void LoadNameField();

  // ---- lookup combos
  void CD_Record_Company_Click();

  // ---- field input and user field captions
  void CD_Notes_Text_Change();

 private:
  // Wires the editor's buttons and the input behaviour of its fields.
  void ConnectRecordEditing();
};

}  // namespace tvn

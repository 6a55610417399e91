// Building the catalogue window: controls, layouts, toolbars and menus.
#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "catalogue/NewMain_Form.h"
#include "core/Schema.h"
#include "platform/forms/Controls.h"
#include "platform/forms/LetterBar.h"

namespace tvn {

using frame::MakeButton;
using frame::MakeCombo;
using frame::MakeDate;
using frame::MakeLabel;
using frame::MakeText;

namespace {

// A box takes no more than its column of mediadata holds, so nothing typed
// or pasted is cut without the user seeing it.
int Width(const char* column) { return schema::CollectionTextWidth("mediadata", column); }

}  // namespace

void NewMain_Form::BuildWindow() {
  setObjectName("NewMain_Form");
  setWindowTitle("The Tavolin");
  BuildMenus();
  BuildToolbars();
  BuildFrame(140, 220);

  // The section bar: media groups with their sections.
  struct Group {
    const char* caption;
    std::vector<const char*> items;
  };
  const std::vector<Group> groups = {
      {"Audio", {"Cassettes", "Compact Discs", "LPs", "MiniDisc", "MP3"}},
      {"Video", {"DVDs", "Laser Discs", "Video Tapes"}},
      {"Computer", {"Software"}},
  };
  for (const auto& g : groups) {
    auto* header = new QTreeWidgetItem(SSListBar1, QStringList(QString::fromUtf8(g.caption)));
    QFont f = header->font(0);
    f.setBold(true);
    header->setFont(0, f);
    header->setFlags(Qt::ItemIsEnabled);
    for (const char* item : g.items) new QTreeWidgetItem(header, QStringList(QString::fromUtf8(item)));
  }
  SSListBar1->expandAll();

  SSTab1->addTab(BuildMainTab(), "Main");
  SSTab1->addTab(BuildMyFieldsTab(Width("f1")), "My Fields");
  SSTab1->addTab(BuildTitlesTab(), "Titles");
  auto* notes = new QWidget(SSTab1);
  auto* notesLayout = new QVBoxLayout(notes);
  CD_Notes_Text = new QTextEdit(notes);
  CD_Notes_Text->setObjectName("CD_Notes_Text");
  CD_Notes_Text->setAcceptRichText(false);
  notesLayout->addWidget(CD_Notes_Text);
  SSTab1->addTab(notes, "Notes");
  SSTab1->addTab(BuildPictureTab(), "Picture");

  resize(980, 640);
  ConnectFrame();
  ConnectRecordEditing();
}

void NewMain_Form::BuildMenus() {
  auto add = [](QMenu* menu, QAction*& action, const char* name, const char* caption,
                const QKeySequence& key = QKeySequence()) { frame::AddMenuItem(menu, action, name, caption, key); };
  BuildFileMenu(QKeySequence(Qt::SHIFT | Qt::Key_F2));

  View_Menu = menuBar()->addMenu("&View");
  View_Menu->setObjectName("View_Menu");
  add(View_Menu, menuQD, "menuQD", "Quick Display", QKeySequence(Qt::Key_F2));
  View_Menu->addSeparator();
  add(View_Menu, View_All_Artists_Menu, "View_All_Artists_Menu", "Display all records  (default)");
  add(View_Menu, Artist_Select_Menu, "Artist_Select_Menu", "Display only records for a selected Artist");
  add(View_Menu, Category_Select_Menu, "Category_Select_Menu", "Display only records for a selected Category");
  add(View_Menu, Label_Select_Menu, "Label_Select_Menu", "Display only records for a selected Label\\Studio");
  add(View_Menu, Format_Select_Menu, "Format_Select_Menu", "Display only records for a selected Format");
  add(View_Menu, Tape_Select_Menu, "Tape_Select_Menu", "Display only records for a selected Tape #");
  add(View_Menu, SortSelectmenu, "SortSelectmenu", "Display Records Using Tape #/Tape Index # Sort");
  for (QAction* a : {View_All_Artists_Menu, Artist_Select_Menu, Category_Select_Menu, Label_Select_Menu,
                     Format_Select_Menu, Tape_Select_Menu, SortSelectmenu})
    a->setCheckable(true);
  View_All_Artists_Menu->setChecked(true);

  UtilitiesMenu = menuBar()->addMenu("&Utilities ");
  UtilitiesMenu->setObjectName("UtilitiesMenu");
  add(UtilitiesMenu, CollectionMenu, "CollectionMenu", "Collection Manager", QKeySequence(Qt::CTRL | Qt::Key_M));
  add(UtilitiesMenu, ArtistManagerMenu, "ArtistManagerMenu", "Artists Manager");
  add(UtilitiesMenu, CategoryMMenu, "CategoryMMenu", "Category Manager");
  add(UtilitiesMenu, LSMenu, "LSMenu", "Label/Studio Manager");
  UtilitiesMenu->addSeparator();
  add(UtilitiesMenu, Compact_Menu, "Compact_Menu", "Compact Current Database", QKeySequence(Qt::SHIFT | Qt::Key_F4));
  UtilitiesMenu->addSeparator();
  add(UtilitiesMenu, ReportMenu, "ReportMenu", "Report Wizard - ver 6", QKeySequence(Qt::CTRL | Qt::Key_R));
  add(UtilitiesMenu, RWStandardmenu, "RWStandardmenu", "Report Wizard - ver 5");

  Help_Menu = menuBar()->addMenu("&Help");
  Help_Menu->setObjectName("Help_Menu");
  add(Help_Menu, Content_Menu, "Content_Menu", "Contents");
  add(Help_Menu, MenuAbout, "MenuAbout", "About", QKeySequence(Qt::CTRL | Qt::Key_B));
  add(Help_Menu, TipMenu, "TipMenu", "Tips");
  add(Help_Menu, WebMenu, "WebMenu", "The Tavolin Homepage");
  add(Help_Menu, EmailMenu, "EmailMenu", "Email Quillmoor Software");
}

void NewMain_Form::BuildToolbars() {
  // 324.28 twips: the letter bar is one row of small buttons.
  BuildRecordToolbars(std::max(22, 32428 / 100 / kTwipsPerPixel + 6));
}

QWidget* NewMain_Form::BuildMainTab() {
  auto* tab = new QWidget();
  auto* layout = new QVBoxLayout(tab);

  auto* shared = new QGridLayout();
  for (int i = 0; i < 4; ++i) {
    // Control arrays are named "<array>_<index>".
    Artist[i] = MakeCombo(tab, "", Width(("artist" + std::to_string(i + 1)).c_str()));
    Artist[i]->setObjectName(QString("Artist_%1").arg(i));
    shared->addWidget(new QLabel(QString("Artist %1").arg(i + 1), tab), i / 2, (i % 2) * 2);
    shared->addWidget(Artist[i], i / 2, (i % 2) * 2 + 1);
  }
  CD_Record_Company = MakeCombo(tab, "CD_Record_Company", Width("labelstudio"));
  CD_Category_List = MakeCombo(tab, "CD_Category_List", Width("category"));
  shared->addWidget(new QLabel("Label/Studio", tab), 2, 0);
  shared->addWidget(CD_Record_Company, 2, 1);
  shared->addWidget(new QLabel("Category", tab), 2, 2);
  shared->addWidget(CD_Category_List, 2, 3);
  shared->setColumnStretch(1, 1);
  shared->setColumnStretch(3, 1);

  layout->addWidget(BuildMusicFrame());
  layout->addWidget(BuildVideoFrame());
  layout->addWidget(BuildSoftwareFrame());
  layout->addLayout(shared);
  layout->addStretch(1);
  return tab;
}

QWidget* NewMain_Form::BuildMusicFrame() {
  Music_Data_Frame = new QGroupBox();
  Music_Data_Frame->setObjectName("Music_Data_Frame");
  auto* g = new QGridLayout(Music_Data_Frame);
  CSLP_Name_Label = MakeLabel(Music_Data_Frame, "CSLP_Name_Label", "Cassette Name");
  CS_Name_Text = MakeText(Music_Data_Frame, "CS_Name_Text", kTypedNameLength);
  CS_CatNum_Text = MakeText(Music_Data_Frame, "CS_CatNum_Text", Width("cat_number"));
  CS_TTime_Text = MakeText(Music_Data_Frame, "CS_TTime_Text", Width("total_time"));
  Label10 = MakeLabel(Music_Data_Frame, "Label10", "Format");
  CS_Format_List_Text = MakeCombo(Music_Data_Frame, "CS_Format_List_Text", Width("format_type"));
  CS_Date_Text = MakeDate(Music_Data_Frame, "CS_Date_Text");
  btnbdm = MakeButton(Music_Data_Frame, "btnbdm", "Clear Date");
  g->addWidget(CSLP_Name_Label, 0, 0);
  g->addWidget(CS_Name_Text, 0, 1, 1, 3);
  g->addWidget(new QLabel("Catalog Number", Music_Data_Frame), 1, 0);
  g->addWidget(CS_CatNum_Text, 1, 1);
  g->addWidget(new QLabel("Total Time", Music_Data_Frame), 1, 2);
  g->addWidget(CS_TTime_Text, 1, 3);
  g->addWidget(new QLabel("Date Acquired", Music_Data_Frame), 2, 0);
  auto* dateRow = new QHBoxLayout();
  dateRow->addWidget(CS_Date_Text);
  dateRow->addWidget(btnbdm);
  dateRow->addStretch(1);
  g->addLayout(dateRow, 2, 1);
  g->addWidget(Label10, 2, 2);
  g->addWidget(CS_Format_List_Text, 2, 3);

  // Changer fields of the Compact Disc section.
  CDFrame = new QFrame(Music_Data_Frame);
  CDFrame->setObjectName("CDFrame");
  auto* cd = new QGridLayout(CDFrame);
  cd->setContentsMargins(0, 0, 0, 0);
  CD_Slot_Text = MakeText(CDFrame, "CD_Slot_Text");
  PlayerCombo = MakeCombo(CDFrame, "PlayerCombo", Width("player"));
  Label5 = MakeLabel(CDFrame, "Label5", "CD Serial #");
  CD_Serial_Text = MakeText(CDFrame, "CD_Serial_Text", Width("serial"));
  Label11 = MakeLabel(CDFrame, "Label11", "Changer Group #");
  CD_Group_Text = MakeText(CDFrame, "CD_Group_Text");
  cd->addWidget(new QLabel("Changer Slot #", CDFrame), 0, 0);
  cd->addWidget(CD_Slot_Text, 0, 1);
  cd->addWidget(new QLabel("Changer", CDFrame), 0, 2);
  cd->addWidget(PlayerCombo, 0, 3);
  cd->addWidget(Label5, 1, 0);
  cd->addWidget(CD_Serial_Text, 1, 1);
  cd->addWidget(Label11, 1, 2);
  cd->addWidget(CD_Group_Text, 1, 3);
  g->addWidget(CDFrame, 3, 0, 1, 4);

  // File location of the MP3 section.
  FileLocationText = MakeText(Music_Data_Frame, "FileLocationText", Width("filelocation"));
  Flocation = MakeButton(Music_Data_Frame, "Flocation", "...");
  PlayButton = MakeButton(Music_Data_Frame, "PlayButton", "Play");
  connect(Flocation, &QPushButton::clicked, this, [this] { Flocation_Click(); });
  auto* fileRow = new QHBoxLayout();
  fileRow->addWidget(FileLocationText, 1);
  fileRow->addWidget(Flocation);
  fileRow->addWidget(PlayButton);
  g->addLayout(fileRow, 4, 0, 1, 4);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);
  return Music_Data_Frame;
}

QWidget* NewMain_Form::BuildVideoFrame() {
  Video_Data_Frame = new QGroupBox();
  Video_Data_Frame->setObjectName("Video_Data_Frame");
  auto* g = new QGridLayout(Video_Data_Frame);
  Video_Name_Label = MakeLabel(Video_Data_Frame, "Video_Name_Label", "Video Tape Name");
  Video_Name_Text = MakeText(Video_Data_Frame, "Video_Name_Text", kTypedNameLength);
  Label7 = MakeLabel(Video_Data_Frame, "Label7", "Tape Number");
  Video_CatNum_Text = MakeText(Video_Data_Frame, "Video_CatNum_Text", Width("cat_number"));
  TapeIndex = MakeText(Video_Data_Frame, "TapeIndex", Width("TapeIndex"));
  Video_TTime_Text = MakeText(Video_Data_Frame, "Video_TTime_Text", Width("total_time"));
  Video_RYear_Text = MakeText(Video_Data_Frame, "Video_RYear_Text", 10);
  Video_Sound_Text = MakeCombo(Video_Data_Frame, "Video_Sound_Text", Width("format_type2"));
  Video_Rating_Combo = MakeCombo(Video_Data_Frame, "Video_Rating_Combo", Width("rating"));
  QRating = MakeCombo(Video_Data_Frame, "QRating", Width("QRating"));
  Video_Date_Text = MakeDate(Video_Data_Frame, "Video_Date_Text");
  btnbdv = MakeButton(Video_Data_Frame, "btnbdv", "Clear Date");
  g->addWidget(Video_Name_Label, 0, 0);
  g->addWidget(Video_Name_Text, 0, 1, 1, 3);
  g->addWidget(Label7, 1, 0);
  auto* numRow = new QHBoxLayout();
  numRow->addWidget(Video_CatNum_Text, 1);
  numRow->addWidget(TapeIndex);
  g->addLayout(numRow, 1, 1);
  g->addWidget(new QLabel("Total Time", Video_Data_Frame), 1, 2);
  g->addWidget(Video_TTime_Text, 1, 3);
  g->addWidget(new QLabel("Year Released", Video_Data_Frame), 2, 0);
  g->addWidget(Video_RYear_Text, 2, 1);
  g->addWidget(new QLabel("Sound", Video_Data_Frame), 2, 2);
  g->addWidget(Video_Sound_Text, 2, 3);
  g->addWidget(new QLabel("Rating", Video_Data_Frame), 3, 0);
  g->addWidget(Video_Rating_Combo, 3, 1);
  g->addWidget(new QLabel("Quality", Video_Data_Frame), 3, 2);
  g->addWidget(QRating, 3, 3);
  g->addWidget(new QLabel("Date Acquired", Video_Data_Frame), 4, 0);
  auto* dateRow = new QHBoxLayout();
  dateRow->addWidget(Video_Date_Text);
  dateRow->addWidget(btnbdv);
  dateRow->addStretch(1);
  g->addLayout(dateRow, 4, 1);

  // Tape fields (Video Tapes) and disc fields (DVDs, Laser Discs).
  VT_Frame2 = new QFrame(Video_Data_Frame);
  VT_Frame2->setObjectName("VT_Frame2");
  auto* vt = new QHBoxLayout(VT_Frame2);
  vt->setContentsMargins(0, 0, 0, 0);
  VT_Format_List_Text = MakeCombo(VT_Frame2, "VT_Format_List_Text", Width("format_type"));
  Label20 = MakeLabel(VT_Frame2, "Label20", "Tape Speed");
  Speed_List = MakeCombo(VT_Frame2, "Speed_List", Width("Tape_Speed"));
  vt->addWidget(new QLabel("Tape Format", VT_Frame2));
  vt->addWidget(VT_Format_List_Text, 1);
  vt->addWidget(Label20);
  vt->addWidget(Speed_List, 1);
  g->addWidget(VT_Frame2, 5, 0, 1, 4);

  DVDLD_Frame2 = new QFrame(Video_Data_Frame);
  DVDLD_Frame2->setObjectName("DVDLD_Frame2");
  auto* disc = new QHBoxLayout(DVDLD_Frame2);
  disc->setContentsMargins(0, 0, 0, 0);
  Video_PRatio_Text = MakeText(DVDLD_Frame2, "Video_PRatio_Text", Width("PRatio"));
  Video_SRatio_Text = MakeText(DVDLD_Frame2, "Video_SRatio_Text", Width("SRatio"));
  Video_Sides_Combo = MakeCombo(DVDLD_Frame2, "Video_Sides_Combo");
  disc->addWidget(new QLabel("Picture Ratio", DVDLD_Frame2));
  disc->addWidget(Video_PRatio_Text, 1);
  disc->addWidget(new QLabel("Screen Ratio", DVDLD_Frame2));
  disc->addWidget(Video_SRatio_Text, 1);
  disc->addWidget(new QLabel("Sides", DVDLD_Frame2));
  disc->addWidget(Video_Sides_Combo);
  g->addWidget(DVDLD_Frame2, 6, 0, 1, 4);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);
  return Video_Data_Frame;
}

QWidget* NewMain_Form::BuildSoftwareFrame() {
  SCD_Data_Frame = new QGroupBox();
  SCD_Data_Frame->setObjectName("SCD_Data_Frame");
  auto* g = new QGridLayout(SCD_Data_Frame);
  SCD_Name_Text = MakeText(SCD_Data_Frame, "SCD_Name_Text", kTypedNameLength);
  SCD_CatNum_Text = MakeText(SCD_Data_Frame, "SCD_CatNum_Text", Width("cat_number"));
  Homepage_text = MakeText(SCD_Data_Frame, "Homepage_text", Width("homepage"));
  Email_Text = MakeText(SCD_Data_Frame, "Email_Text", Width("emailid"));
  SCD_Date_Text = MakeDate(SCD_Data_Frame, "SCD_Date_Text");
  btnBlankADate = MakeButton(SCD_Data_Frame, "btnBlankADate", "Clear Date");
  g->addWidget(new QLabel("Software Name", SCD_Data_Frame), 0, 0);
  g->addWidget(SCD_Name_Text, 0, 1, 1, 3);
  g->addWidget(new QLabel("Catalog Number", SCD_Data_Frame), 1, 0);
  g->addWidget(SCD_CatNum_Text, 1, 1);
  g->addWidget(new QLabel("Date Acquired", SCD_Data_Frame), 1, 2);
  auto* dateRow = new QHBoxLayout();
  dateRow->addWidget(SCD_Date_Text);
  dateRow->addWidget(btnBlankADate);
  dateRow->addStretch(1);
  g->addLayout(dateRow, 1, 3);
  g->addWidget(new QLabel("Home Page", SCD_Data_Frame), 2, 0);
  g->addWidget(Homepage_text, 2, 1);
  g->addWidget(new QLabel("E-mail", SCD_Data_Frame), 2, 2);
  g->addWidget(Email_Text, 2, 3);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);
  return SCD_Data_Frame;
}

QWidget* NewMain_Form::BuildTitlesTab() {
  auto* tab = new QWidget();
  auto* layout = new QVBoxLayout(tab);
  TGrid = new forms::FlexGrid(tab);
  TGrid->setObjectName("TGrid");
  TGrid->SetCols(2);
  TGrid->SetFixedRows(1);
  TGrid->SetRows(kTitleRows + 1);
  TGrid->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(TGrid, 1);
  auto* buttons = new QHBoxLayout();
  AddButton = MakeButton(tab, "AddButton", "Add Title");
  ModifyButton = MakeButton(tab, "ModifyButton", "Modify Title");
  DeleteButton = MakeButton(tab, "DeleteButton", "Delete Title");
  buttons->addWidget(AddButton);
  buttons->addWidget(ModifyButton);
  buttons->addWidget(DeleteButton);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  return tab;
}

}  // namespace tvn

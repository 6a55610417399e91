// Building the game window: the console bar, the toolbars, the seven tabs
// of the record editor and the menus. Only layout lives here; what the
// controls do is wired in the files of their concern.
#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "games/PLMain_Form.h"
#include "platform/forms/Controls.h"
#include "platform/forms/LetterBar.h"

namespace pl {

namespace {

QLineEdit* MakeText(QWidget* parent, const char* name, int maxLength = 0) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  if (maxLength > 0) e->setMaxLength(maxLength);
  return e;
}

QComboBox* MakeCombo(QWidget* parent, const char* name) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setEditable(true);
  c->setInsertPolicy(QComboBox::NoInsert);
  return c;
}

forms::DateBox* MakeDate(QWidget* parent, const char* name) {
  auto* d = new forms::DateBox(parent);
  d->setObjectName(name);
  return d;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(name);
  return b;
}

QTextEdit* MakeMemo(QWidget* parent, const char* name) {
  auto* t = new QTextEdit(parent);
  t->setObjectName(name);
  t->setAcceptRichText(false);
  return t;
}

// A tab holding one memo box.
QWidget* MemoTab(QTextEdit*& memo, const char* name) {
  auto* tab = new QWidget();
  auto* layout = new QVBoxLayout(tab);
  memo = MakeMemo(tab, name);
  layout->addWidget(memo);
  return tab;
}

forms::FlexGrid* MakeLinkGrid(QWidget* parent, const char* name) {
  auto* g = new forms::FlexGrid(parent);
  g->setObjectName(name);
  g->SetCols(2);
  g->SetFixedRows(1);
  g->SetRows(2);
  g->horizontalHeader()->setStretchLastSection(true);
  return g;
}

}  // namespace

void PLMain_Form::BuildWindow() {
  setObjectName("PLMain_Form");
  setWindowTitle("The Pellion");
  BuildMenus();
  BuildToolbars();

  auto* central = new QWidget(this);
  auto* outer = new QHBoxLayout(central);
  auto* splitter = new QSplitter(Qt::Horizontal, central);
  outer->addWidget(splitter);

  SSListBar1 = forms::NewSectionBar(splitter, 120, 200);
  for (const GameSection& section : GameSections())
    new QTreeWidgetItem(SSListBar1, QStringList(QString::fromUtf8(section.caption)));

  auto* right = new QWidget(splitter);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  auto* listRow = new QHBoxLayout();
  listRow->addWidget(new QLabel("Titles:", right));
  List_Combo = forms::NewTitleList(right);
  listRow->addWidget(List_Combo, 1);
  rightLayout->addLayout(listRow);

  SSTab1 = new QTabWidget(right);
  SSTab1->setObjectName("SSTab1");
  SSTab1->addTab(BuildMainTab(), "Main");
  SSTab1->addTab(BuildPage2Tab(), "Page 2");
  SSTab1->addTab(BuildMyFieldsTab(), "My Fields");
  SSTab1->addTab(MemoTab(txtHints, "txtHints"), "Hints/Tips");
  SSTab1->addTab(MemoTab(txtInstructions, "txtInstructions"), "Instructions");
  SSTab1->addTab(MemoTab(txtNotes, "txtNotes"), "Notes");
  SSTab1->addTab(BuildPictureTab(), "Picture");
  rightLayout->addWidget(SSTab1, 1);

  splitter->addWidget(SSListBar1);
  splitter->addWidget(right);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  setCentralWidget(central);
  StatusBar1 = statusBar();
  StatusBar1->setObjectName("StatusBar1");
  resize(900, 600);
}

void PLMain_Form::BuildMenus() {
  auto add = [](QMenu* menu, QAction*& action, const char* name, const char* caption) {
    action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(name);
  };
  File_Menu = menuBar()->addMenu("&File");
  File_Menu->setObjectName("File_Menu");
  add(File_Menu, SmartComboMenu, "SmartComboMenu", "Use Smart Combo boxes");
  SmartComboMenu->setCheckable(true);
  SmartComboMenu->setChecked(true);
  add(File_Menu, menuAutoSpell, "menuAutoSpell", "Do not use auto spell check for any field");
  menuAutoSpell->setCheckable(true);
  File_Menu->addSeparator();
  add(File_Menu, Exit_Menu, "Exit_Menu", "Exit");

  vmenu = menuBar()->addMenu("&View");
  vmenu->setObjectName("vmenu");
  add(vmenu, qdmenu, "qdmenu", "Quick Display");

  UtilitiesMenu = menuBar()->addMenu("&Utilities ");
  UtilitiesMenu->setObjectName("UtilitiesMenu");
  add(UtilitiesMenu, CollectionMenu, "CollectionMenu", "Collection Manager");
  add(UtilitiesMenu, ArtistManagerMenu, "ArtistManagerMenu", "Developer Manager");
  add(UtilitiesMenu, CategoryMMenu, "CategoryMMenu", "Genre Manager");
  add(UtilitiesMenu, LSMenu, "LSMenu", "Publisher Manager");
  add(UtilitiesMenu, menuSysType, "menuSysType", "System Type Manager");
  add(UtilitiesMenu, menuSupports, "menuSupports", "Supports Manager");
  UtilitiesMenu->addSeparator();
  add(UtilitiesMenu, Compact_Menu, "Compact_Menu", "Compact Current Database");
  UtilitiesMenu->addSeparator();
  add(UtilitiesMenu, ReportMenu, "ReportMenu", "Report Wizard");

  Help_Menu = menuBar()->addMenu("&Help");
  Help_Menu->setObjectName("Help_Menu");
  add(Help_Menu, Content_Menu, "Content_Menu", "Contents");
}

void PLMain_Form::BuildToolbars() {
  Toolbar1 = addToolBar("Record");
  Toolbar1->setObjectName("Toolbar1");
  Toolbar1->setMovable(false);
  Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
  const char* tips[] = {nullptr,
                        "Add a new record",
                        "Cancel add",
                        "File changes/add",
                        "Delete record",
                        "Move to previous record",
                        "Move to next record",
                        nullptr,
                        "Report Wizard"};
  const char* captions[] = {nullptr, "Add", "Cancel", "File", "Delete", "Previous", "Next", nullptr, "Reports"};
  for (int i = 1; i <= 8; ++i) {
    QAction* a = i == 7 ? Toolbar1->addSeparator() : Toolbar1->addAction(QString::fromUtf8(captions[i]));
    if (i != 7) a->setToolTip(QString::fromUtf8(tips[i]));
    a->setObjectName(QString("Toolbar1_%1").arg(i));
    Toolbar1Buttons[size_t(i)] = a;
  }

  addToolBarBreak();
  Toolbar2 = addToolBar("Letters");
  Toolbar2->setObjectName("Toolbar2");
  Toolbar2->setMovable(false);
  forms::BuildLetterBar(Toolbar2, LetterButtons, [this](int index) { Toolbar2_ButtonClick(index); });
}

QWidget* PLMain_Form::BuildMainTab() {
  auto* tab = new QWidget();
  auto* g = new QGridLayout(tab);
  txtName = MakeText(tab, "txtName", kNameLength);
  DateAquired = MakeDate(tab, "DateAquired");
  DateReleased = MakeDate(tab, "DateReleased");
  btnBlankADate = MakeButton(tab, "btnBlankADate", "Clear Date");
  btnBlankRDate = MakeButton(tab, "btnBlankRDate", "Clear Date");
  cmbPublisher = MakeCombo(tab, "cmbPublisher");
  cmbDeveloper = MakeCombo(tab, "cmbDeveloper");
  cmbGenre = MakeCombo(tab, "cmbGenre");
  txtBestFeature = MakeText(tab, "txtBestFeature", kTextLength);
  txtWorstFeature = MakeText(tab, "txtWorstFeature", kTextLength);
  cmbRating = MakeCombo(tab, "cmbRating");
  cmbFormat = MakeCombo(tab, "cmbFormat");
  txtPlayers = MakeText(tab, "txtPlayers", kPlayersLength);
  txtHomepage = MakeText(tab, "txtHomepage", kTextLength);
  auto dateRow = [tab](forms::DateBox* date, QPushButton* clear) {
    auto* row = new QHBoxLayout();
    row->addWidget(date);
    row->addWidget(clear);
    row->addStretch(1);
    return row;
  };
  int r = 0;
  g->addWidget(new QLabel("Name", tab), r, 0);
  g->addWidget(txtName, r++, 1, 1, 3);
  g->addWidget(new QLabel("Date Aquired", tab), r, 0);
  g->addLayout(dateRow(DateAquired, btnBlankADate), r, 1);
  g->addWidget(new QLabel("Date Released", tab), r, 2);
  g->addLayout(dateRow(DateReleased, btnBlankRDate), r++, 3);
  g->addWidget(new QLabel("Publisher", tab), r, 0);
  g->addWidget(cmbPublisher, r, 1);
  g->addWidget(new QLabel("Developer", tab), r, 2);
  g->addWidget(cmbDeveloper, r++, 3);
  g->addWidget(new QLabel("Genre", tab), r, 0);
  g->addWidget(cmbGenre, r, 1);
  g->addWidget(new QLabel("Rating", tab), r, 2);
  g->addWidget(cmbRating, r++, 3);
  g->addWidget(new QLabel("Best Feature", tab), r, 0);
  g->addWidget(txtBestFeature, r++, 1, 1, 3);
  g->addWidget(new QLabel("Worst Feature", tab), r, 0);
  g->addWidget(txtWorstFeature, r++, 1, 1, 3);
  g->addWidget(new QLabel("Format", tab), r, 0);
  g->addWidget(cmbFormat, r, 1);
  g->addWidget(new QLabel("# of Players", tab), r, 2);
  g->addWidget(txtPlayers, r++, 3);
  g->addWidget(new QLabel("Game Homepage", tab), r, 0);
  g->addWidget(txtHomepage, r++, 1, 1, 3);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);
  g->setRowStretch(r, 1);
  return tab;
}

QWidget* PLMain_Form::BuildPage2Tab() {
  auto* tab = new QWidget();
  auto* layout = new QHBoxLayout(tab);
  sGrid = MakeLinkGrid(tab, "sGrid");
  tGrid = MakeLinkGrid(tab, "tGrid");
  layout->addWidget(sGrid, 1);
  layout->addWidget(tGrid, 1);
  return tab;
}

QWidget* PLMain_Form::BuildMyFieldsTab() {
  auto* tab = new QWidget();
  auto* form = new QFormLayout(tab);
  for (int i = 0; i < 10; ++i) {
    const QString n = QString::number(i + 1);
    fCap[size_t(i)] = new QLabel("My Field " + n, tab);
    fCap[size_t(i)]->setObjectName(i == 1 ? QString("F2Cap") : "f" + n + "Cap");
    fText[size_t(i)] = new QLineEdit(tab);
    fText[size_t(i)]->setObjectName(i == 1 ? QString("f2text") : "f" + n + "Text");
    fText[size_t(i)]->setMaxLength(kTextLength);
    form->addRow(fCap[size_t(i)], fText[size_t(i)]);
  }
  return tab;
}

QWidget* PLMain_Form::BuildPictureTab() {
  auto* tab = new QWidget();
  auto* layout = new QVBoxLayout(tab);
  SSScroll1 = new QScrollArea(tab);
  SSScroll1->setObjectName("SSScroll1");
  SSScroll1->setWidgetResizable(true);
  Picture_Box = new QLabel();
  Picture_Box->setObjectName("Picture_Box");
  Picture_Box->setAlignment(Qt::AlignCenter);
  Picture_Box->setMinimumSize(200, 150);
  SSScroll1->setWidget(Picture_Box);
  layout->addWidget(SSScroll1, 1);
  auto* buttons = new QHBoxLayout();
  Add_Picture = MakeButton(tab, "Add_Picture", "Add/Change Picture");
  Delete_Picture = MakeButton(tab, "Delete_Picture", "Delete Picture");
  buttons->addWidget(Add_Picture);
  buttons->addWidget(Delete_Picture);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  return tab;
}

}  // namespace pl

// Section switching: the list bar, the section flags and the set-up of the
// window for one section (captions, frames, lists, menus, user captions).
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "catalogue/NewMain_Form.h"
#include "catalogue/SectionRules.h"
#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"

namespace tvn {

namespace {

struct SectionInfo {
  const char* listCaption;
  const char* captionSuffix;
  const char* nameLabel;  // nullptr: the section has its own frame
  const char* captionTable;
};

// Index = section number (1..9).
const SectionInfo kSections[10] = {
    {"", "", nullptr, ""},
    {"Cassettes", ": Cassettes", "Cassette Name", "Cassettecaption"},
    {"Compact Discs", ": Compact Discs", "CD Name", "cdcaption"},
    {"DVDs", ": DVDs", "DVD Name", "dvdcaption"},
    {"Laser Discs", ": Laser Discs", "Laser Disc Name", "ldcaption"},
    {"LPs", ": LPs", "LP Name", "lpcaption"},
    {"Video Tapes", ": Video Tapes", "Video Tape Name", "vtcaption"},
    {"MiniDisc", ": MiniDiscs", "MiniDisc Name", "mdcaption"},
    {"MP3", ": MP3", "MP3 Name", "mpcaption"},
    {"Software", ": Software", nullptr, "scdcaption"},
};

void Fill(QComboBox* list, std::initializer_list<const char*> items) {
  list->clear();
  for (const char* i : items) list->addItem(QString::fromUtf8(i));
}


}  // namespace

void NewMain_Form::SSListBar1_ItemClick(const std::string& caption) {
  for (int n = 1; n <= 9; ++n) {
    if (caption == kSections[n].listCaption) {
      ItemClickProcess(Byte(n));
      return;
    }
  }
  // A group header: nothing to do.
}

void NewMain_Form::ItemClickProcess(Byte section) {
  // Typed changes are asked about before the section goes; the quick
  // display's record load that follows takes the same answer.
  TVNDATA* d = AVData();
  if (!ConfirmLeaveRecord(true)) {
    // The list bar goes back to the section still on show.
    ShowSectionInBar(d->SectionNumber());
    return;
  }
  LeaveScope leaving(*this);
  d->SectionNumber(section);
  // Every flag off, then the chosen section's on.
  ResetSectionFlags();
  switch (section) {
    case 1: d->CS_On(vb::True); break;
    case 2: d->CD_On(vb::True); break;
    case 3: d->DVD_On(vb::True); break;
    case 4: d->LD_On(vb::True); break;
    case 5: d->LP_On(vb::True); break;
    case 6: d->VT_On(vb::True); break;
    case 7: d->MD_On(vb::True); break;
    case 8: d->MP_On(vb::True); break;
    case 9: d->SCD_On(vb::True); break;
    default: break;
  }
  const bool music = On(d->CS_On()) || On(d->CD_On()) || On(d->MP_On()) || On(d->MD_On()) || On(d->LP_On());
  const bool video = On(d->VT_On()) || On(d->DVD_On()) || On(d->LD_On());
  d->MusicOn(music ? vb::True : vb::False);
  d->VideoOn(video ? vb::True : vb::False);

  ShowSectionInBar(section);

  LongWork busy(*this);
  try {
    SwitchSection();
  } catch (const vb::RuntimeError& e) {
    if (raiseSectionErrors_) throw;
    vb::BusyScope::Pause answer;
    vb::TellError(e);
  }
}

void NewMain_Form::ShowSectionInBar(Byte section) {
  if (section < 1 || section > 9) return;
  const auto found = SSListBar1->findItems(QString::fromUtf8(kSections[section].listCaption),
                                           Qt::MatchExactly | Qt::MatchRecursive);
  if (!found.isEmpty()) SSListBar1->setCurrentItem(found.front());
}

void NewMain_Form::FillFormatLists(QComboBox* list) {
  const TVNDATA* d = AVData();
  auto add = [list](std::initializer_list<const char*> items) {
    for (const char* i : items) list->addItem(QString::fromUtf8(i));
  };
  if (On(d->CS_On())) add({"Cassette", "8 Track"});
  if (On(d->LP_On())) add({"33 1/3", "45", "78"});
  if (On(d->VT_On())) add({"VHS", "Super VHS", "VHS-C", "8mm", "Beta"});
  if (On(d->CD_On())) add({"Master", "Slave"});
}

void NewMain_Form::OpenSectionRecordset() {
  const dao::DatabasePtr& db = App().CollectionDB;
  if (!db || !db->IsOpen()) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  if (SectionRecords) SectionRecords->Close();
  // A large section with names beyond ASCII is sorted in the program's
  // letter order while the windows stay painted.
  vb::BusyScope busy;
  const auto tick = [&busy] { busy.Tick(); };
  SectionRecords = App().CollectionDB->OpenRecordsetAside(
      "select * from mediadata where sectionnumber = " + std::to_string(int(AVData()->SectionNumber())) +
          " order by name",
      tick, [&tick](const std::function<void()>& work) { vb::RunAside(work, tick); });
  nameOrderedSet_ = SectionRecords;
}

void NewMain_Form::OpenCaptionRecords(const std::string& table) {
  if (CaptionRecords) CaptionRecords->Close();
  CaptionRecords.reset();
  try {
    CaptionRecords = App().CollectionDB->OpenRecordset(table);
  } catch (const vb::RuntimeError& e) {
    // A damaged file: the section still opens, with plain captions.
    vb::MsgBox("The field captions of this section could not be read: " + e.Description(), vb::vbExclamation);
  }
}

void NewMain_Form::ShowCaptions() {
  bool haveRow = false;
  if (CaptionRecords && CaptionRecords->RecordCount() > 0) {
    CaptionRecords->MoveFirst();
    haveRow = !CaptionRecords->Eof();
  }
  for (int i = 0; i < 10; ++i) {
    std::string caption;
    if (haveRow) caption = vb::NzStr(CaptionRecords->GetField("f" + std::to_string(i + 1)));
    fCap[i]->setText(QString::fromStdString(caption));
  }
}

void NewMain_Form::SwitchSection() {
  TVNDATA* d = AVData();
  if (!On(d->CSEnter())) {
    FillArtistCombos(true);
    return;
  }
  OpenSectionRecordset();

  const bool cs = On(d->CS_On()), cd = On(d->CD_On()), dvd = On(d->DVD_On()), ld = On(d->LD_On());
  const bool lp = On(d->LP_On()), vt = On(d->VT_On()), md = On(d->MD_On()), mp = On(d->MP_On());
  const bool scd = On(d->SCD_On());
  CS_Format_List_Text->setVisible(cs || lp);
  Label10->setVisible(cs || lp);

  SelectionMode = 0;
  SelectionValue.clear();
  // The tape entries too: the section is shown in name order again.
  ClearSelectionMenuChecks();
  View_All_Artists_Menu->setChecked(true);
  Artist_Select_Menu->setVisible(true);
  Tape_Select_Menu->setVisible(false);
  SortSelectmenu->setVisible(false);

  const int n = d->SectionNumber();
  if (n >= 1 && n <= 9) {
    const SectionInfo& s = kSections[n];
    setWindowTitle(QString::fromStdString("The Tavolin - " + d->CurCollection() + s.captionSuffix));
    OpenCaptionRecords(s.captionTable);
    if (s.nameLabel) {
      const QString label = QString::fromUtf8(s.nameLabel);
      if (dvd || ld || vt)
        Video_Name_Label->setText(label);
      else
        CSLP_Name_Label->setText(label);
    }
  } else if (CaptionRecords) {
    CaptionRecords->Close();
    CaptionRecords.reset();
  }

  if (cs || lp) {
    CS_Format_List_Text->clear();
    FillFormatLists(CS_Format_List_Text);
    Label5->setVisible(false);
    Label11->setVisible(false);
    CDFrame->setVisible(false);
  }
  if (cd) {
    PlayerCombo->clear();
    FillFormatLists(PlayerCombo);
    Label5->setVisible(true);
    Label11->setVisible(true);
    CDFrame->setVisible(true);
  }
  if (md || mp) {
    Label5->setVisible(true);
    Label11->setVisible(true);
    CDFrame->setVisible(false);
  }
  PlayButton->setVisible(mp);
  Flocation->setVisible(mp);
  FileLocationText->setVisible(mp);

  if (dvd || ld) {
    VT_Frame2->setVisible(false);
    DVDLD_Frame2->setVisible(true);
    Label20->setVisible(false);
    Label7->setText("Catalog/Index Number");
    TapeIndex->setVisible(false);
    Fill(Video_Sides_Combo, {"1", "2"});
  }
  if (vt) {
    VT_Frame2->setVisible(true);
    DVDLD_Frame2->setVisible(false);
    VT_Format_List_Text->clear();
    FillFormatLists(VT_Format_List_Text);
    Fill(Speed_List, {"SP", "LP", "EP"});
    Label20->setVisible(true);
    Label7->setText("Tape Number");
    TapeIndex->setVisible(true);
    Tape_Select_Menu->setVisible(true);
    SortSelectmenu->setVisible(true);
  }
  if (On(d->VideoOn())) {
    std::string filter;
    FillDistinctCombo(Video_Sound_Text, "format_type2", filter);
    Fill(Video_Rating_Combo, {"G", "PG", "PG13", "R", "NC17", "NR", "X", "X+"});
    Fill(QRating, {"5-Star", "4.5-Star", "4-Star", "3.5-Star", "3-Star", "2.5-Star", "2-Star", "1.5-Star",
                   "1-Star", ".5-Star", "Turkey"});
  }
  if (scd) {
    if (PublisherRecords) PublisherRecords->Close();
    PublisherRecords.reset();
    try {
      PublisherRecords = App().CollectionDB->OpenRecordset("LabelStudio");
      PublisherRecords->SetIndex("Name");
    } catch (const vb::RuntimeError&) {
      // Only the publisher's addresses need it; the section works without.
      PublisherRecords.reset();
    }
    Artist_Select_Menu->setVisible(false);
  }

  Video_Data_Frame->setVisible(false);
  Music_Data_Frame->setVisible(false);
  SCD_Data_Frame->setVisible(false);
  Format_Select_Menu->setVisible(!(cd || dvd || ld));

  if (On(d->MusicOn())) {
    Music_Data_Frame->setVisible(true);
    CS_Name_Text->setFocus();
  }
  if (On(d->VideoOn())) {
    Video_Data_Frame->setVisible(true);
    Video_Name_Text->setFocus();
  }
  if (scd) {
    SCD_Data_Frame->setVisible(true);
    SCD_Name_Text->setFocus();
  }
  d->CSEnter(vb::False);

  ShowCaptions();
  update();
  FillArtistCombos(true);

  ShowRecordAgain();
}

// ---------------------------------------------------------------- lookup combos

namespace {



// The names of a lookup table whose rows carry the section's flag, in the
// order of the named index.
QStringList LookupNames(const std::string& table, const std::string& index, const std::string& field,
                        bool& any) {
  QStringList names;
  const std::string flag = SectionLookupColumn();
  if (flag.empty()) return names;
  dao::RecordsetPtr rs = App().CollectionDB->OpenRecordset(table);
  rs->SetIndex(index);
  if (rs->RecordCount() > 0) {
    rs->MoveFirst();
    while (!rs->Eof()) {
      if (FlagSet(rs->GetField(flag))) {
        names << QString::fromStdString(vb::NzStr(rs->GetField(field)));
        any = true;
      }
      rs->MoveNext();
    }
  }
  rs->Close();
  return names;
}

}  // namespace

void NewMain_Form::FillArtistCombos(bool alsoOthers) {
  ListHasItems = false;
  if (!On(AVData()->SCD_On())) {
    const QStringList names = LookupNames("Artists", "artist_name", "artist_name", ListHasItems);
    for (QComboBox* a : Artist) {
      a->clear();
      a->addItems(names);
    }
  }
  if (alsoOthers) {
    FillLabelStudioList(CD_Record_Company);
    FillCategoryList(CD_Category_List);
  }
}

void NewMain_Form::FillLabelStudioList(QComboBox* list) {
  list->clear();
  ListHasItems = false;
  list->addItems(LookupNames("LabelStudio", "name", "LabelStudio_Name", ListHasItems));
}

void NewMain_Form::FillCategoryList(QComboBox* list) {
  list->clear();
  ListHasItems = false;
  list->addItems(LookupNames("Category", "category", "category", ListHasItems));
}

}  // namespace tvn

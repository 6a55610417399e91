#pragma once
// The catalogue fixture with the windows the menus open replaced by
// recorders, and lookup rows for the selection lists.
#include <QComboBox>
#include <QLabel>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/MenuHooks.h"
#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AppState.h"
#include "core/SortForm.h"

namespace cattest {

class MenuTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    tvn::AVData()->LastDB("av30.mdb");
    auto& h = tvn::MenuHooks::Get();
    h.showChooser = [this](tvn::SortForm& chooser) {
      chooserPrompt = chooser.Select_Label->text().toStdString();
      chooserItems = Items(chooser.Choice_List);
      chooserPickWas = chooser.Choice_List->currentIndex();
      chooser.Choice_List->setCurrentIndex(chooser.Choice_List->findText(QString::fromStdString(pick)));
      ++choosersShown;
      if (whileChoosing) whileChoosing();
    };
    auto record = [this](const char* what) {
      return [this, what](QWidget*) {
        opened.push_back(what);
        if (whileOpen) whileOpen();
      };
    };
    h.showCollectionManager = record("collections");
    h.showArtistManager = record("artists");
    h.showCategoryManager = record("categories");
    h.showLabelManager = record("labels");
    h.showQuickDisplay = record("quick display");
    h.showAbout = [this](QWidget*) {
      opened.push_back("about");
      aboutModeWhileShown = tvn::App().AboutMode;
    };
    h.openWithShell = [this](const std::string& target) { shellTargets.push_back(target); };
  }
  void TearDown() override {
    tvn::MenuHooks::Reset();
    CatalogueTest::TearDown();
  }

  // The window as the user sees it: shown (first activation done) on the
  // section.
  tvn::NewMain_Form& Shown(int section) {
    SetSetting("LG", std::to_string(section));
    SetSetting("NF", "2");
    tvn::NewMain_Form& w = Window();
    w.Form_Activate();
    return w;
  }

  // A lookup row flagged for the named section columns.
  void AddLookup(const std::string& table, const std::string& field, const std::string& name,
                 std::vector<std::string> flags) {
    auto rs = tvn::App().CollectionDB->OpenRecordset(table);
    rs->AddNew();
    rs->SetField(field, vb::Variant(name));
    for (const auto& f : flags) rs->SetField(f, vb::Variant(true));
    rs->Update();
    rs->Close();
  }
  void AddArtist(const std::string& name, std::vector<std::string> flags) {
    AddLookup("artists", "artist_name", name, std::move(flags));
  }

  // What the chooser was shown with, and what the test picks in it.
  std::string pick;
  std::string chooserPrompt;
  std::vector<std::string> chooserItems;
  int chooserPickWas = -2;
  int choosersShown = 0;
  std::function<void()> whileChoosing;

  std::vector<std::string> opened;
  std::function<void()> whileOpen;
  bool aboutModeWhileShown = false;
  std::vector<std::string> shellTargets;
};

}  // namespace cattest

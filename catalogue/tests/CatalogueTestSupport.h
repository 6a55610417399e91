#pragma once
// A temporary data folder with one collection, its settings file and the
// catalogue window's neighbours replaced by recorders.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/NewMain_Form.h"
#include "core/tests/CoreTestSupport.h"
#include "platform/runtime/Variant.h"

namespace cattest {

using Fields = std::map<std::string, vb::Variant>;

// The names of a section's records in the collection, in name order.
std::vector<std::string> Names(int section);
// A field of the record of that name as stored ("<none>" without one).
std::string Stored(const std::string& name, const std::string& field);

class CatalogueTest : public tvntest::DataFolderTest {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Adds an item to mediadata with its section number and display name.
  void AddItem(int section, const std::string& name, const Fields& more = {});
  // A window over the collection (its load has run, no activation yet).
  tvn::NewMain_Form& Window();
  // The window, with the section chosen.
  tvn::NewMain_Form& WindowOn(int section);
  void SetSetting(const std::string& key, const std::string& value);
  std::string Setting(const std::string& key);
  std::filesystem::path Dir() const { return dir_; }

  // Which of the three faces of letter ('A'..'Z') shows: 0 has titles,
  // 1 active, 2 no titles; -1 when not exactly one shows.
  int Face(char letter);
  // The items of a combo box.
  static std::vector<std::string> Items(const QComboBox* combo);

  std::vector<int> helpTopics;
  int tipsShown = 0;

 private:
  std::unique_ptr<tvn::NewMain_Form> window_;
};

}  // namespace cattest

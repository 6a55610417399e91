#pragma once
// Shared fixture of the report tests: a data folder with a fresh
// collection, the media library's state pointed at it, scripted boxes,
// and a report window opened on one report type.
#include <QApplication>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/tests/CoreTestSupport.h"
#include "platform/print/Document.h"
#include "reports/RptForm.h"

namespace tvntest {

class ReportTest : public DataFolderTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A report window on type, as the wizard's Finish leaves the state.
  tvn::reports::RptForm& OpenWindow(int type, const std::string& sections = " 6 ");
  // Runs steps on the modal window that the action opens, then returns
  // when the action is done. Steps run for each modal window in turn.
  void WithModal(const std::function<void()>& action, std::vector<std::function<void(QWidget*)>> steps);

  void AddArtist(const std::string& name, const std::vector<std::string>& flags, const std::string& notes = "",
                 const std::string& nationality = "");

  // The text items of a page that are not the page header.
  static std::vector<print::TextItem> Texts(const print::Page& page);
  static const print::TextItem* Find(const print::Page& page, const QString& text);
  static bool HasText(const print::Document& doc, const QString& text);

  // The texts of the message boxes shown so far (file dialogs left out).
  static std::vector<std::string> Messages();

  dao::DatabasePtr db_;
  std::unique_ptr<tvn::reports::RptForm> window_;
};

}  // namespace tvntest

#pragma once
// The collection manager: the list of media collections kept in table
// avcollections of the master list "admin.sys". The user creates a new
// collection from the template, opens another one, removes one from the
// list (and, when asked to, its file) and deletes every record of a
// collection. A choice takes effect through TVNDATA.LastDB,
// TVNDATA.CurCollection and the setting "CurDB"; the caller reopens the
// collection when this window has closed.
#include <QDialog>
#include <string>

class QListWidget;
class QPushButton;

namespace tvn {

class AVCollection_Form : public QDialog {
  Q_OBJECT

 public:
  explicit AVCollection_Form(QWidget* parent = nullptr);
  ~AVCollection_Form() override;

  // The system collection, which can never be deleted here.
  static constexpr const char* kSystemCollection = "My Collection";

  // ---- events
  void Form_Load();
  void Form_Unload();
  void CreateCB_Click();
  void OpenCB_Click();
  void DeleteCB_Click();
  void ExitCB_Click();
  void btnClearDatabase_Click();

  // ---- routines
  void FillCollectionList();
  // Asks whether an existing file of the new collection's name is to be
  // used. True: use it. False: it is replaced by an empty collection.
  bool CheckExistingDatabase();

  // Why a typed name cannot name a collection's file here, or "" when it
  // can: blank, a character special in file names or patterns
  // (* ? [ ] : | " < > \ /) or a control character, a leading dot, a
  // name too long for a file, or a file the program keeps for itself
  // (the templates, the compaction file).
  static std::string CollectionNameProblem(const std::string& name);

  // ---- controls
  QListWidget* CB_List = nullptr;
  QPushButton* CreateCB = nullptr;
  QPushButton* OpenCB = nullptr;
  QPushButton* DeleteCB = nullptr;
  QPushButton* ExitCB = nullptr;
  QPushButton* btnClearDatabase = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void done(int result) override;

 private:
  std::string SelectedText() const;
  // The display name of the listed collection whose file is fileName
  // (letter case ignored), other than except; "" when there is none.
  std::string CollectionUsingFile(const std::string& fileName, const std::string& except = "") const;
  // Whether a listed display name equals name, blanks and letter case aside.
  bool IsListedName(const std::string& name) const;
  bool unloaded_ = true;
};

// Shows the collection manager modally over parent.
void ShowCollectionManager(QWidget* parent);

}  // namespace tvn

#pragma once
// The collection manager: the list of media collections kept in table
// avcollections of the master list "admin.sys". The user creates a new
// collection from the template, opens another one, removes one from the
// list (and, when asked to, its file) and deletes every record of a
// collection. A choice takes effect through TVNDATA.LastDB,
// TVNDATA.CurCollection and the setting "CurDB"; the caller reopens the
// collection when this window has closed.
#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/OpenFailure.h"
#include "platform/dao/Dao.h"

class QListWidget;
class QPushButton;

namespace tvn {

// What tells one catalogue's collection manager from the other's.
struct CollectionManagerConfig {
  const char* formName;      // objectName of the window
  const char* caption;
  const char* list;          // the catalogue's table of "admin.sys"
  const char* nameField;     // its display-name field (index "master")
  const char* templateFile;  // copied for a new collection
  const char* settingKey;    // "Startup" key of the current collection
  std::vector<std::string> clearStatements;  // empty a collection, in one transaction
  std::function<std::string()> lastDB;
  std::function<void(const std::string&)> setLastDB;
  std::function<std::string()> curCollection;
  std::function<void(const std::string&)> setCurCollection;
  // Captions of CreateCB, OpenCB, DeleteCB, btnClearDatabase and ExitCB.
  std::array<const char*, 5> buttonCaptions = {"Create", "Open", "Delete", "Delete All Records", "Exit"};
  // The list above the buttons instead of beside them.
  bool listAbove = false;
  // The workspace the master list and the collections open in; empty: the
  // program's.
  std::function<dao::Workspace&()> workspace = {};
  // The folder of the master list and the collections; empty: the
  // program folder.
  std::function<std::string()> folder = {};
  // What a collection of the catalogue holds; null: a media collection.
  const CollectionKind* kind = nullptr;
};

// How a catalogue opens its current collection at start (see
// AVCollection_Form::OpenCurrentCollection).
struct CurrentCollectionOpening {
  std::string giveUp;       // the answer that goes no further: "quit Tavolin."
  std::string gaveUp;       // said when nothing else can work: "Tavolin ends now."
  std::string defaultFile;  // the default collection's file name
  std::string defaultPath;  // and its full path, as the user is told it
  std::function<std::string()> path;  // the full path of the current collection (config.lastDB)
  std::function<void()> open;         // opens it; raises what is wrong, leaving nothing open
  std::function<bool()> canUseDefault;  // whether the default collection can be offered
  std::function<void()> useDefault;     // makes the default collection current
};

class AVCollection_Form : public QDialog {
  Q_OBJECT

 public:
  explicit AVCollection_Form(QWidget* parent = nullptr);
  AVCollection_Form(const CollectionManagerConfig& config, QWidget* parent);

  // The media catalogue's configuration: avcollections, "av32e.mdb", "CurDB".
  static const CollectionManagerConfig& MediaCollections();
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

  // The way past a current collection that cannot be opened: asks for a
  // name until one that no collection and no file has is given, makes an
  // empty collection of that name from the template (never over a file),
  // lists it when the master list can be written and makes it current
  // (LastDB, CurCollection and the setting). False when the user cancels;
  // OpenDeclined, after a message, when the folder takes no new file.
  static bool MakeReplacementCollection(const CollectionManagerConfig& config);

  // Opens the current collection of the catalogue (config.lastDB). When it
  // cannot be opened the file is left as it is and the user is told why
  // and chooses: a new collection, the default one, or to go no further
  // (OpenDeclined). A file that is locked or cannot be read just now is
  // only passing: the default answer then changes nothing. A change that
  // can only be finished with write access to the folder is told, and
  // nothing is offered that could not work there.
  static void OpenCurrentCollection(const CollectionManagerConfig& config, const CurrentCollectionOpening& how);

  // Makes the collection the manager left current (config.lastDB()) the
  // window's, all or nothing. openAndRead opens it and has the window read
  // it first, raising what fails with nothing left open. When it fails the
  // user is told in words naming the file, and the collection that was
  // open (previousFile, previousName) becomes current again (LastDB,
  // CurCollection and the setting) and is opened and read again. The
  // failing file is left as it is. False when no collection could be
  // opened and read: the window then reads nothing.
  static bool TakeChosenCollection(const CollectionManagerConfig& config, const std::string& previousFile,
                                   const std::string& previousName, const std::function<void()>& openAndRead);

  // The window's first read (firstRead) of the collection opened when the
  // catalogue started. A damaged file met there (what the check at opening
  // does not read) is closed (close) and left as it is, and the user gets
  // the way on of OpenCurrentCollection with how, whose open opens
  // config.lastDB() again and has the window read it. Any other failure is
  // told in words and the window goes on. False when the user chose to go
  // on without a collection: the window then reads nothing.
  static bool FirstReadOrWayOn(const CollectionManagerConfig& config, const std::function<void()>& firstRead,
                               const std::function<void()>& close, const CurrentCollectionOpening& how);

  // The display name the master list of folder gives file in config's
  // list; "" when it has none or cannot be read.
  static std::string ListedName(const CollectionManagerConfig& config, const std::string& file);

  // The collection file of this catalogue at path, opened as every
  // opening does (OpenCollectionFile).
  static dao::DatabasePtr OpenCollection(const CollectionManagerConfig& config, dao::Workspace& workspace,
                                         const std::string& path);

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
  // (letter case ignored), other than except; "" when there is none. With
  // otherOnly, only the other catalogue's list is searched.
  std::string CollectionUsingFile(const std::string& fileName, const std::string& except = "",
                                  bool otherOnly = false) const;
  // Whether a listed display name equals name, blanks and letter case aside.
  bool IsListedName(const std::string& name) const;
  // A file name from the list that this manager must leave alone: not a
  // plain file name of the folder, a file of the program's own, or one the
  // other catalogue lists. Tells the user why and returns true.
  bool RefusedListFile(const std::string& dbname) const;
  dao::Workspace& Workspace() const;
  std::string Folder() const;
  std::string InFolder(const std::string& file) const { return Folder() + "/" + file; }
  // Opens the file of a collection chosen here as every opening does; when
  // it cannot be used, says so (file, reason, what stays open) and returns
  // null. action: what was asked for, "opened", "emptied", ...
  dao::DatabasePtr OpenChosenCollection(const std::string& file, const std::string& action) const;
  const CollectionKind& Kind() const;

  CollectionManagerConfig config_;
  dao::DatabasePtr adminDB_;          // the master list while the window is loaded
  dao::RecordsetPtr collectionsRS_;   // the catalogue's table of it, index "master"
  bool unloaded_ = true;
};

// Shows the collection manager modally over parent.
void ShowCollectionManager(QWidget* parent);

}  // namespace tvn

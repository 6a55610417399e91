#pragma once
// The window base of the program and the program-wide window references.
//
// Each window of the program exists at most once and is reached through a
// reference named like the window (win::MainForm, win::Splash_Form ...).
// Using a reference whose window is not loaded creates and loads it, so a
// window that was unloaded comes back as a fresh instance.
//
// A window's life: the constructor places it (initialise), Load runs
// Form_Load once, Show/ShowModal show it (loading it first), Unload runs
// Form_Unload, hides it and lets it go. When the last window of the
// program unloads, the program ends.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

class QEventLoop;
namespace dao {
class Workspace;
}

namespace tvn {

void ReleaseProgram();

// Mouse pointers the windows use.
enum MousePointerKind : int { vbDefault = 0, vbHourglass = 11 };

class Form : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)

 public:
  explicit Form(QWidget* parent = nullptr);
  ~Form() override;

  bool IsLoaded() const { return loaded_; }
  // Runs Form_Load unless the window is loaded already. An error of the
  // load leaves the window unloaded and reaches the caller.
  void Load();
  // Loads (when needed) and shows the window, not modal, in front.
  void Show();
  // Loads and shows the window modally; returns when it is hidden or unloaded.
  void ShowModal();
  void Hide();
  // Asks Form_QueryUnload, then runs Form_Unload, hides the window and
  // releases it; a window whose query said no stays loaded as it was.
  void Unload();
  bool IsShownModal() const { return modalLoop_ != nullptr; }

  int MousePointer() const { return mousePointer_; }
  void setMousePointer(int pointer);

  // Window position in twips (15 twips per logical pixel).
  int Left() const;
  int Top() const;
  void SetLeft(int twips);
  void SetTop(int twips);

  // Number of loaded windows of the program.
  static int LoadedCount();

 protected:
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  // Before the unload, whatever asked for it (a command, the close box):
  // false keeps the window loaded and nothing of the unload runs.
  virtual bool Form_QueryUnload() { return true; }
  virtual void Form_Unload() {}

  void closeEvent(QCloseEvent* event) override;
  friend void ReleaseProgram();
  // Marks the window unloaded without its unload routine (the program ends).
  void Release();

  void hideEvent(QHideEvent* event) override;
  bool event(QEvent* event) override;

 private:
  bool loaded_ = false;
  bool unloading_ = false;
  int mousePointer_ = vbDefault;
  QEventLoop* modalLoop_ = nullptr;
};

constexpr int TwipsPerPixel = 15;
inline int PixelsToTwips(int pixels) { return pixels * TwipsPerPixel; }
inline int TwipsToPixels(int twips) { return twips / TwipsPerPixel; }

// The place a window stores and is put back at: the top left of its client
// area. The frame belongs to the window manager and is unknown until the
// window has been shown, so storing one and restoring the other moves the
// window by the title bar's height at every open and close.
inline QPoint WindowPlace(const QWidget& w) { return w.geometry().topLeft(); }
inline void PlaceWindow(QWidget& w, QPoint place) { w.setGeometry(QRect(place, w.size())); }

// The place kept in two settings of "TVN"/"Startup" as twips: restoring
// applies each coordinate only when it is above 0 and within what a window
// position can hold; anything unreadable keeps the designed place.
void RestoreWindowPlace(QWidget& w, const std::string& topKey, const std::string& leftKey);
void SaveWindowPlace(const QWidget& w, const std::string& topKey, const std::string& leftKey);
// A setting of "TVN"/"Startup" read as a byte; default when absent,
// unreadable or outside 0 to 255.
int ReadStartupByte(const std::string& key, int defaultValue);

// A program-wide reference to the one window of class T.
template <class T>
class FormRef {
 public:
  // The window, created and loaded when it is not loaded.
  T& Get();
  T* operator->() { return &Get(); }
  T& operator*() { return Get(); }
  // The window when it is loaded, else nullptr; creates nothing.
  T* Peek() const { return (p_ && p_->IsLoaded()) ? p_.data() : nullptr; }
  bool Loaded() const { return Peek() != nullptr; }

 private:
  QPointer<T> p_;
};

template <class T>
T& FormRef<T>::Get() {
  if (!p_ || !p_->IsLoaded()) {
    // An unloaded window is on its way out; a fresh one takes its place.
    T* w = new T();
    p_ = w;
    try {
      w->Load();
    } catch (...) {
      p_ = nullptr;
      w->deleteLater();
      throw;
    }
  }
  return *p_;
}

class Start_Form;
class Splash_Form;
class MainForm;
class Tip_Form;
class SortForm;
class AddTitleForm;

namespace win {
extern FormRef<tvn::Start_Form> Start_Form;
extern FormRef<tvn::Splash_Form> Splash_Form;
extern FormRef<tvn::MainForm> MainForm;
extern FormRef<tvn::Tip_Form> Tip_Form;
extern FormRef<tvn::SortForm> SortForm;
extern FormRef<tvn::AddTitleForm> AddTitleForm;
}  // namespace win

// ---- ending the program
// Ends the program at once: every window is closed without further close
// events, the program-wide objects are released and the event loop stops.
void EndProgram(int exitCode = 0);
bool ProgramEnded();
int ProgramExitCode();
// Tests replace what EndProgram does, so that an ending can be observed
// without stopping the test; an empty handler restores the real ending.
// Once ended, no window loads again until ResetProgramEnded (a handler
// that lets the test go on calls it).
void SetEndProgramHandler(std::function<void(int exitCode)> handler);
void ResetProgramEnded();
// What the real ending does before the event loop stops (tests call it to
// clean up after an observed ending).
void ReleaseProgram();

// ---- the media catalogue window
// The media catalogue window lives in the catalogue library, which builds on
// this one; it registers how it is shown, brought forward and unloaded.
// Until one is registered, opening the catalogue shows nothing.
struct MediaCatalogueEntry {
  std::function<void()> Show;          // creates and loads it if needed, shows it not modal
  std::function<void()> BringForward;  // to the front, with the focus
  // Closes it as its close box does: a typed change is asked about, and
  // the window clears the launcher's "AVRunning" only when it really closes.
  std::function<void()> Unload;
};
void RegisterMediaCatalogue(MediaCatalogueEntry entry);
const MediaCatalogueEntry& MediaCatalogue();

// ---- the game catalogue
// The game catalogue library builds on this one, so the launcher reaches
// its entry object through what the program registers. Until one is
// registered, opening the game catalogue shows nothing.
struct GameCatalogueEntry {
  // Shows the game window with the program's workspace, folder and launcher.
  std::function<void(dao::Workspace*& ws, std::string& path, QObject*& launcher)> fload;
  std::function<void()> FrontWindow;  // to the front, with the focus; never fails
  // Closes the game window as its close box does: a typed change is asked
  // about, and the window clears "PLRunning" only when it really closes.
  std::function<void()> FClose;
};
void RegisterGameCatalogue(GameCatalogueEntry entry);
const GameCatalogueEntry& GameCatalogue();

}  // namespace tvn

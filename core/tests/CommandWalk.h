#pragma once
// Walking every command of a catalogue window while another program
// changes the collection: the other program's connection, which makes its
// changes at fixed points between the commands (never by timing), the
// steps of the walk with the boxes each one showed, and the words a box
// must never hold (a bare engine number or the engine's own text).
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <functional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "core/RecordWindow.h"
#include "core/tests/LaunchFixture.h"
#include "core/tests/OtherProgram.h"
#include "core/tests/WindowCommands.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"

namespace tvn::testing {

// Another program's connection on the collection file, in this process but
// with a connection of its own, as the sqlite3 tool would have. Every
// change is one transaction; it waits for a lock as a patient tool does.
class OtherConnection {
 public:
  explicit OtherConnection(const std::string& file) {
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
      failures_.push_back("open: " + std::string(sqlite3_errmsg(db_)));
    sqlite3_busy_timeout(db_, 5000);
  }
  ~OtherConnection() { sqlite3_close(db_); }
  OtherConnection(const OtherConnection&) = delete;
  OtherConnection& operator=(const OtherConnection&) = delete;

  // Runs the statements as one transaction; a failure is kept (the program
  // held the file so long that another program could not write).
  void Change(const std::string& sql) {
    BackToUser();  // the program waits for the user: its reads are let go
    if (std::getenv("TVN_WALK_TRACE")) std::fprintf(stderr, "other program: %s\n", sql.c_str());
    char* error = nullptr;
    if (sqlite3_exec(db_, ("begin immediate;\n" + sql + "\ncommit;").c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      failures_.push_back(sql + ": " + (error ? error : "?"));
      sqlite3_exec(db_, "rollback;", nullptr, nullptr, nullptr);
    }
    sqlite3_free(error);
  }
  // The first column of every row the query gives, as text.
  std::vector<std::string> Column(const std::string& sql) {
    std::vector<std::string> out;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
      failures_.push_back(sql + ": " + sqlite3_errmsg(db_));
      return out;
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(st, 0);
      out.push_back(text ? reinterpret_cast<const char*>(text) : "");
    }
    sqlite3_finalize(st);
    return out;
  }
  const std::vector<std::string>& Failures() const { return failures_; }

 private:
  sqlite3* db_ = nullptr;
  std::vector<std::string> failures_;
};

// A text quoted for SQL, as the other program writes it.
inline std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

// What in a box the user must never see: "Error " and a number, or a text
// of the engine (or of the data layer standing for it) that says nothing
// to the user. "" when the box is clean.
inline std::string RawEngineText(const std::string& box) {
  static const std::regex number("Error *[0-9]");
  if (std::regex_search(box, number)) return "a bare error number";
  static const char* const raw[] = {"database disk image", "no such", "SQLITE", "sqlite", "constraint failed",
                                    "Record is deleted", "No current record", "Object invalid",
                                    "Too few parameters", "Syntax error", "Item not found", "Invalid operation",
                                    "Update or CancelUpdate", "Data type conversion", "database is locked",
                                    "Internal error", "Not a valid bookmark"};
  for (const char* words : raw)
    if (box.find(words) != std::string::npos) return words;
  return {};
}

// While it lives, every modal window that comes up is handed once to
// `drive`, which works it as the user would (and may open further modal
// windows, which are handed on in turn); a window still open when drive
// returns is closed. Each window is worked from a timer of its own, so a
// window waiting on the one above it never stops the next from being seen.
class ModalWindowsDriven {
 public:
  explicit ModalWindowsDriven(std::function<void(QWidget*)> drive) : drive_(std::move(drive)) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* top = QApplication::activeModalWidget();
      if (!top || !top->isVisible()) return;
      for (const QPointer<QWidget>& s : seen_)
        if (s == top) return;
      seen_.push_back(top);
      ++driven;
      QTimer::singleShot(0, [drive = drive_, window = QPointer<QWidget>(top)] {
        if (window) vb::Guarded([&] { drive(window); });
        if (window && window->isVisible()) window->close();
      });
    });
    timer_.start();
  }
  int driven = 0;

 private:
  std::function<void(QWidget*)> drive_;
  std::vector<QPointer<QWidget>> seen_;
  QTimer timer_;
};

// How the boxes of a round of the walk are answered.
enum class Answers { Defaults, Yes, No, Cancel };

inline const char* AnswersName(Answers a) {
  switch (a) {
    case Answers::Defaults: return "default buttons";
    case Answers::Yes: return "Yes";
    case Answers::No: return "No";
    case Answers::Cancel: return "Cancel";
  }
  return "";
}

// The walk: each step is one command given as the user gives it (through
// the guard every event of the program passes), its boxes answered as the
// round says, every modal window it opens closed; every box is kept.
class CommandWalk {
 public:
  // texts: answers for the input boxes and file dialogs of this step.
  // drive: works the modal windows the step opens (see ModalWindowsDriven);
  // without it they are closed at once.
  void Step(const std::string& what, Answers answers, const std::function<void()>& act,
            const std::vector<std::string>& texts = {}, const std::function<void(QWidget*)>& drive = {}) {
    vb::PromptScript::Clear();
    if (std::getenv("TVN_WALK_TRACE")) std::fprintf(stderr, "%s\n", what.c_str());
    const int button = answers == Answers::Yes ? vb::vbYes
                       : answers == Answers::No ? vb::vbNo
                       : answers == Answers::Cancel ? vb::vbCancel
                                                    : 0;
    if (button)
      for (int i = 0; i < 8; ++i) vb::PromptScript::Answer(button);
    for (const std::string& t : texts) vb::PromptScript::AnswerText(t);
    if (drive) {
      ModalWindowsDriven driver(drive);
      vb::Guarded(act);
      Pump();
    } else {
      ModalWindowsClosed closer;
      vb::Guarded(act);
      Pump();
    }
    for (const vb::PromptRecord& r : vb::PromptScript::Records()) {
      if (r.kind != "msgbox" && r.kind != "inputbox") continue;
      boxes.push_back(what + ": " + r.text);
      if (std::getenv("TVN_WALK_TRACE")) std::fprintf(stderr, "%s: [%s]\n", what.c_str(), r.text.c_str());
      if (const std::string raw = RawEngineText(r.text + "\n" + r.title); !raw.empty())
        faults.push_back(what + " (" + AnswersName(answers) + ") showed " + raw + ": [" + r.text + "]");
    }
    vb::PromptScript::Clear();
    ++steps;
  }

  std::vector<std::string> boxes;   // every box, after the step that showed it
  std::vector<std::string> faults;  // the boxes that showed what they must not
  int steps = 0;
};

// Everything a failure's message needs, one per line.
inline std::string Lines(const std::vector<std::string>& v) {
  std::string out;
  for (const std::string& s : v) out += "  " + s + "\n";
  return out;
}

// The commands of the window's toolbars and menus, each letter of the
// letter bar once ("letter A"), whichever of its faces shows.
inline std::vector<std::string> CommandNamesOf(RecordWindow& w) {
  std::vector<std::string> names;
  for (const WindowCommand& c : WindowCommands(w)) {
    const std::string name = c.name.rfind("letter ", 0) == 0 ? c.name.substr(0, 8) : c.name;
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

// Gives the command of that name as the user would now: a letter by the
// face it shows, a menu entry or toolbar button only when it can be
// reached (false when it cannot).
inline bool GiveCommand(RecordWindow& w, const std::string& name) {
  for (const WindowCommand& c : WindowCommands(w)) {
    const bool letter = name.rfind("letter ", 0) == 0 && c.name.rfind(name + " ", 0) == 0;
    if ((letter || c.name == name) && c.reachable) {
      c.action->trigger();
      return true;
    }
  }
  return false;
}

}  // namespace tvn::testing

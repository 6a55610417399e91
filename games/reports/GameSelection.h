#pragma once
// Marking the games of a general game report: printrecord is set on every
// game, then each limit narrows it, so the limits combine as AND.
#include <functional>
#include <string>

#include "platform/dao/Dao.h"

namespace pl {

// The wizard's choices. Key lists are blank-framed keys (" 3 7 ") or ""
// for no limit; sections are the same or "ALL".
struct GameLimits {
  std::string sectionList = "ALL";
  std::string genres;
  std::string developers;
  std::string publishers;
  std::string supports;
  std::string sysTypes;
  // A name prefix; "" or "***NO LIMITS***" for none.
  std::string name;
};

// tick, when given, is called now and then to keep the windows painted.
void MarkGameRecords(dao::Database& db, const GameLimits& limits, const std::function<void()>& tick = {});

}  // namespace pl

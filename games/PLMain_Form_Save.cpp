// Stand-in until the record save and the lookup upkeep arrive: the window
// builds and links without them, and nothing calls these yet.
#include "games/PLMain_Form.h"

namespace pl {

void PLMain_Form::SaveRecord() {}
long PLMain_Form::AddOrUpdatePublisher(const std::string&) { return 0; }
long PLMain_Form::AddOrUpdateDeveloper(const std::string&) { return 0; }
long PLMain_Form::AddOrUpdateGenre(const std::string&) { return 0; }

}  // namespace pl

#pragma once
// The video-tape labels: the rows of the work table `report` printed on a
// sheet of labels two across and five down, each a tape number over eight
// title lines. Both label versions print through this one writer; they
// differ only in how the work table was filled.
#include <cstdint>

#include "platform/dao/Dao.h"

namespace print {
class Printer;
}

namespace tvn::reports {

void PrintCatalogTitleReport(print::Printer& printer);

// The eight title lines of the pair of labels whose left one the record
// set stands on (count 1: that label alone). The record set is left on
// the left label.
void PrintTitleCell(dao::Recordset& records, std::uint8_t& count);

}  // namespace tvn::reports

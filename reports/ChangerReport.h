#pragma once
// The compact disc changer report: where each compact disc of the
// collection sits, one line per disc (name, changer, group and slot), in
// one of three groupings. It covers every compact disc, whatever the last
// selection marked.
#include "platform/dao/Dao.h"

namespace print {
class Printer;
}

namespace tvn::reports {

// Grouped under each first artist, discs in name order.
void PrintChangerReportByArtist(print::Printer& printer);
// Grouped per changer, discs in slot order; discs in no changer are left out.
void PrintChangerReportByPlayer(print::Printer& printer);
// Grouped per group number, discs in slot order; discs without a numeric
// group are left out.
void PrintChangerReportByGroup(print::Printer& printer);

// The lines of one group, from the first record to the end; an empty
// record set prints nothing.
void PrintChangerRecords(dao::Recordset& records);

}  // namespace tvn::reports

#pragma once
// Small rules of the current section that several parts of the catalogue
// window share.
#include <string>

#include "core/AppState.h"
#include "platform/runtime/Functions.h"

namespace tvn {

// A 16-bit Boolean of the state object (True = -1) as a C++ bool.
inline bool On(Boolean flag) { return flag != 0; }

// The lookup tables' column that marks entries used in the current
// section: Cassette "cas"; Compact Disc, MiniDisc and MP3 "cd"; DVD and
// Laser Disc "DVD"; LP "lp"; Video Tape "VT"; Software "scd".
inline std::string SectionLookupColumn(const TVNDATA* d = AVData()) {
  if (On(d->CS_On())) return "cas";
  if (On(d->CD_On()) || On(d->MD_On()) || On(d->MP_On())) return "cd";
  if (On(d->DVD_On()) || On(d->LD_On())) return "DVD";
  if (On(d->LP_On())) return "lp";
  if (On(d->VT_On())) return "VT";
  if (On(d->SCD_On())) return "scd";
  return {};
}

// A section flag read from a lookup row: Null and Empty count as not set.
inline bool FlagSet(const vb::Variant& v) { return !v.isNull() && !v.isEmpty() && vb::CBool(v); }

}  // namespace tvn

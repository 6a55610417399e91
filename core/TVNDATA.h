#pragma once
// The application state shared by the windows of the program: which
// collection is open, which media section is current, the letter bar's
// state and a few window flags. Plain properties, no behaviour; each
// property is a getter (no argument) and a setter (one argument).
#include <cstdint>
#include <string>

#include "platform/runtime/Variant.h"

namespace tvn {

using Boolean = std::int16_t;  // 16-bit, True = -1
using Integer = std::int16_t;
using Byte = std::uint8_t;

class TVNDATA {
 public:
#define TVN_PROPERTY(Type, Name)                    \
  void Name(Type v) { Name##_ = v; }                \
  Type Name() const { return Name##_; }
#define TVN_STRING_PROPERTY(Name)                   \
  void Name(const std::string& v) { Name##_ = v; }  \
  std::string Name() const { return Name##_; }

  TVN_PROPERTY(Boolean, OnExit)
  TVN_PROPERTY(Boolean, QDOpen)
  TVN_STRING_PROPERTY(LastRec)
  TVN_PROPERTY(Boolean, LoadFirstRec)
  TVN_PROPERTY(Boolean, CSEnter)
  TVN_STRING_PROPERTY(CHKNum)
  TVN_STRING_PROPERTY(SLetterW)
  TVN_PROPERTY(Integer, A_Button)
  TVN_PROPERTY(Integer, P_Button)
  TVN_PROPERTY(Boolean, PLOnly)
  TVN_PROPERTY(Byte, SectionNumber)
  TVN_PROPERTY(Boolean, VideoOn)
  TVN_PROPERTY(Boolean, MusicOn)
  TVN_PROPERTY(Boolean, MP_On)
  TVN_PROPERTY(Boolean, SCD_On)
  TVN_PROPERTY(Boolean, CD_On)
  TVN_PROPERTY(Boolean, VT_On)
  TVN_PROPERTY(Boolean, LP_On)
  TVN_PROPERTY(Boolean, CS_On)
  TVN_PROPERTY(Boolean, MD_On)
  TVN_PROPERTY(Boolean, DVD_On)
  TVN_PROPERTY(Boolean, LD_On)
  TVN_STRING_PROPERTY(CurCollection)
  TVN_STRING_PROPERTY(LastDB)

#undef TVN_PROPERTY
#undef TVN_STRING_PROPERTY

 private:
  Boolean OnExit_ = 0;
  Boolean QDOpen_ = 0;
  std::string LastRec_;
  Boolean LoadFirstRec_ = 0;
  Boolean CSEnter_ = 0;
  std::string CHKNum_;
  std::string SLetterW_;
  Integer A_Button_ = 0;
  Integer P_Button_ = 0;
  Boolean PLOnly_ = 0;
  Byte SectionNumber_ = 0;
  Boolean VideoOn_ = 0;
  Boolean MusicOn_ = 0;
  Boolean MP_On_ = 0;
  Boolean SCD_On_ = 0;
  Boolean CD_On_ = 0;
  Boolean VT_On_ = 0;
  Boolean LP_On_ = 0;
  Boolean CS_On_ = 0;
  Boolean MD_On_ = 0;
  Boolean DVD_On_ = 0;
  Boolean LD_On_ = 0;
  std::string CurCollection_;
  std::string LastDB_;
};

}  // namespace tvn

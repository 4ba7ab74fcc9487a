#pragma once
// The global trace switches: each turns on extra debug-stream lines in the
// component that owns it. Read once at start from the "traces" section.

#include <ostream>

#include "core/ini_file.h"

class TraceCtl {
 public:
  bool hdlc = false;      // "signalling.hdlc"
  bool orvagw = false;    // "signalling.orvagw" (accepted, no effect)
  bool events = false;    // "signalling.events"
  bool isdn = false;      // "signalling.isdn"
  bool internal = false;  // "monitoring.internal"

  void reset();
  // Every subsection in file order; each starts from all switches off, so
  // the last one decides.
  void Configure(IniFile::Section& section, std::ostream& errors);
  void Configure(IniFile::SubSection& subsection, std::ostream& errors);
  void Configure(IniFile::Section& section);
  void Configure(IniFile::SubSection& subsection);
};

extern TraceCtl traces;

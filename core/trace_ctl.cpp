#include "core/trace_ctl.h"

#include <iostream>

#include "core/ini_reader.h"

TraceCtl traces;

void TraceCtl::reset() { hdlc = orvagw = events = isdn = internal = false; }

void TraceCtl::Configure(IniFile::Section& section, std::ostream& errors) {
  for (IniFile::SubSection& subsection : section) Configure(subsection, errors);
}

void TraceCtl::Configure(IniFile::SubSection& subsection, std::ostream& errors) {
  reset();
  IniFile::Reader reader("traces: ", errors);
  reader.optional.add(&hdlc, "signalling.hdlc");
  reader.optional.add(&orvagw, "signalling.orvagw");
  reader.optional.add(&events, "signalling.events");
  reader.optional.add(&isdn, "signalling.isdn");
  reader.optional.add(&internal, "monitoring.internal");
  reader.parse(subsection);
}

void TraceCtl::Configure(IniFile::Section& section) { Configure(section, std::cerr); }
void TraceCtl::Configure(IniFile::SubSection& subsection) { Configure(subsection, std::cerr); }

// libFuzzer target: any bytes as a configuration file, then every
// subsection read by a reader with keys of each kind.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "core/ini_file.h"
#include "core/ini_reader.h"
#include "core/trace_ctl.h"

namespace {
enum class Mode { a = 1, b = 2 };
const IniFile::Symbol<Mode> kModes[] = {{"a", Mode::a}, {"b", Mode::b}, {nullptr, Mode::a}};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IniFile::File file;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  in >> file;
  std::ostringstream sink;
  for (IniFile::Section& section : file) {
    for (IniFile::SubSection& sub : section) {
      bool flag = false;
      int number = 0;
      uint8_t byte = 0;
      Mode mode = Mode::a;
      std::string text;
      IniFile::Reader reader("fuzz: ", sink);
      reader.optional.add(&flag, "flag");
      reader.optional.add(&number, "number");
      reader.optional.add(&byte, "byte");
      reader.optional.add(&mode, "mode", kModes);
      reader.required.add(&text, "text");
      reader.parse(sub);
    }
  }
  TraceCtl traces;
  traces.Configure(file["traces"], sink);
  file.Dump(sink);
  return 0;
}

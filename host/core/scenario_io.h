// The file handles a module's scenario callbacks receive: the block being read,
// or the text being written.
#pragma once

#include <string>

#include "scenario.h"

namespace host {

struct ScenarioBlockReader {
  static constexpr unsigned kMagic =
      0x51524452; // catches a handle of the wrong kind
  unsigned magic = kMagic;
  const ScenarioVessel *block = nullptr;
  std::size_t next = 0;
  int line = 0;       // number of the line handed out last
  std::string buffer; // the module may edit the line it is given
};

struct ScenarioBlockWriter {
  static constexpr unsigned kMagic = 0x51575254;
  unsigned magic = kMagic;
  std::string *out = nullptr;
};

ScenarioBlockReader *AsReader(FILEHANDLE f);
ScenarioBlockWriter *AsWriter(FILEHANDLE f);

// The reader of the block being loaded now (for error line numbers), or null.
ScenarioBlockReader *&ActiveReader();

} // namespace host

#include "scenario_io.h"

#include <cstdio>

#include "oapi.h"

namespace host {

ScenarioBlockReader *AsReader(FILEHANDLE f) {
  auto *r = static_cast<ScenarioBlockReader *>(f);
  return r && r->magic == ScenarioBlockReader::kMagic ? r : nullptr;
}

ScenarioBlockWriter *AsWriter(FILEHANDLE f) {
  auto *w = static_cast<ScenarioBlockWriter *>(f);
  return w && w->magic == ScenarioBlockWriter::kMagic ? w : nullptr;
}

ScenarioBlockReader *&ActiveReader() {
  static ScenarioBlockReader *active = nullptr;
  return active;
}

} // namespace host

using host::AsReader;
using host::AsWriter;

bool oapiReadScenario_nextline(FILEHANDLE scn, char *&line) {
  host::ScenarioBlockReader *r = AsReader(scn);
  if (!r || !r->block || r->next >= r->block->lines.size())
    return false;
  const host::ScenarioLine &l = r->block->lines[r->next++];
  r->line = l.number;
  r->buffer = l.text;
  line = r->buffer.data();
  return true;
}

void oapiWriteScenario_string(FILEHANDLE scn, const char *item,
                              const char *string) {
  host::ScenarioBlockWriter *w = AsWriter(scn);
  if (!w || !w->out || !item)
    return;
  *w->out += "  ";
  *w->out += item;
  if (string && *string) {
    *w->out += ' ';
    *w->out += string;
  }
  *w->out += '\n';
}

void oapiWriteScenario_int(FILEHANDLE scn, const char *item, int value) {
  oapiWriteScenario_string(scn, item, std::to_string(value).c_str());
}

void oapiWriteScenario_float(FILEHANDLE scn, const char *item, double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%0.4f", value);
  oapiWriteScenario_string(scn, item, buf);
}

void oapiWriteScenario_vec(FILEHANDLE scn, const char *item, const VECTOR3 &v) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%0.4f %0.4f %0.4f", v.x, v.y, v.z);
  oapiWriteScenario_string(scn, item, buf);
}

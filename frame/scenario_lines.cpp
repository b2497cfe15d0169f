#include "scenario_lines.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace frame {

namespace {

bool KeyMatches(const char *line, const char *key) {
  for (int k = 0; k < 3; ++k) {
    if (line[k] == '\0')
      return false;
    if (std::toupper(static_cast<unsigned char>(line[k])) !=
        std::toupper(static_cast<unsigned char>(key[k])))
      return false;
  }
  return true;
}

} // namespace

int ScanLineValues(const char *text, const LineValue *values, int count) {
  const char *p = text;
  for (int n = 0; n < count; ++n) {
    char *end = nullptr;
    errno = 0;
    if (values[n].i) {
      long v = std::strtol(p, &end, 10);
      if (end == p || errno == ERANGE || v < INT_MIN || v > INT_MAX)
        return n;
      *values[n].i = static_cast<int>(v);
    } else {
      double v = std::strtod(p, &end);
      // nan and inf are refused: no stored state needs them and nothing
      // downstream survives them.
      if (end == p || !std::isfinite(v))
        return n;
      *values[n].d = v;
    }
    p = end;
  }
  return count;
}

void FormatLineValues(char *buf, std::size_t size, const LineValue *values,
                      int count) {
  std::size_t used = 0;
  buf[0] = '\0';
  for (int n = 0; n < count && used < size; ++n) {
    const char *sep = n ? " " : "";
    int w = values[n].i ? std::snprintf(buf + used, size - used, "%s%d", sep,
                                        *values[n].i)
                        : std::snprintf(buf + used, size - used, "%s%0.4f", sep,
                                        *values[n].d);
    if (w < 0)
      break;
    used += static_cast<std::size_t>(w);
  }
}

void ReadScenarioLines(const VESSEL &vessel, FILEHANDLE scn, void *status,
                       const LineKey *keys, int nkeys) {
  char *line = nullptr;
  while (oapiReadScenario_nextline(scn, line)) {
    const LineKey *match = nullptr;
    for (int k = 0; k < nkeys && !match; ++k)
      if (KeyMatches(line, keys[k].key))
        match = &keys[k];
    if (match)
      ScanLineValues(line + 3, match->values, match->count);
    else
      vessel.ParseScenarioLineEx(line, status);
  }
}

void WriteScenarioLines(FILEHANDLE scn, const LineKey *keys, int nkeys) {
  for (int k = 0; k < nkeys; ++k) {
    char buf[256];
    FormatLineValues(buf, sizeof buf, keys[k].values, keys[k].count);
    oapiWriteScenario_string(scn, keys[k].key, buf);
  }
}

} // namespace frame

// A module's own lines in a vessel's scenario block: a three-character key and
// its values.
#pragma once

#include "api.h"

namespace frame {

// One value of a line: exactly one of the two pointers is set.
struct LineValue {
  int *i = nullptr;    // read "%d", written "%d"
  double *d = nullptr; // read "%lf", written "%0.4f"
};

inline LineValue Int(int &field) { return LineValue{&field, nullptr}; }
inline LineValue Real(double &field) { return LineValue{nullptr, &field}; }

constexpr int kMaxLineValues = 8;

struct LineKey {
  const char *key; // three characters
  int count;
  LineValue values[kMaxLineValues];
};

// Converts values from text in order and stores each one as it is read. Stops
// at the first value that cannot be read (a non-finite real, an integer out of
// range, or no number at all): that field and the ones after it keep what they
// held. Returns how many were stored.
int ScanLineValues(const char *text, const LineValue *values, int count);

// Formats the values into buf (256 characters), one space between them.
void FormatLineValues(char *buf, std::size_t size, const LineValue *values,
                      int count);

// Reads a vessel's block: a line whose first three characters match a key
// (without regard to case, keys in the given order, first match wins) sets that
// key's fields from the text after those three characters; every other line
// goes to the host's standard-line parser.
void ReadScenarioLines(const VESSEL &vessel, FILEHANDLE scn, void *status,
                       const LineKey *keys, int nkeys);

// Writes one line per key, in order. The caller writes the standard lines
// first.
void WriteScenarioLines(FILEHANDLE scn, const LineKey *keys, int nkeys);

} // namespace frame

// telemetry.csv: one row per vessel at every sample time, read through each vessel's interface.
//
// Columns and units: t (s since the start), vessel, alt (m above ground), airspeed (m/s),
// vspeed (m/s, up positive), groundspeed (m/s, horizontal), mass (kg), propellant (kg),
// pitch and bank (degrees), drag (N), mach, dynp (dynamic pressure, Pa), density (kg/m^3),
// main (main thruster group level, 0..1), contact (1 while touching the ground).
#pragma once

#include <fstream>
#include <string>

#include "world.h"

namespace app {

class TelemetryWriter {
 public:
  static constexpr double kInterval = 0.1;  // s between samples

  explicit TelemetryWriter(std::string path);  // writes the header; throws HostError (73)
  // Writes the rows of every vessel if a sample is due at the world's time.
  void SampleDue(host::World& world);
  // Throws HostError (73) if anything written was lost.
  void Finish();

 private:
  void Row(double t, host::Vessel& v);

  std::string path_;
  std::ofstream out_;
  long next_ = 0;  // index of the next sample time
};

// A CSV field: quoted when it holds a separator, a quote or a line end.
std::string CsvField(const std::string& s);

}  // namespace app

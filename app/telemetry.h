// telemetry.csv: one row per vessel at every sample time, read through each vessel's interface.
//
// Columns and units: t (s since the start), vessel, alt (m above ground), airspeed (m/s),
// vspeed (m/s, up positive), groundspeed (m/s, horizontal), mass (kg), propellant (kg),
// pitch and bank (degrees), drag (N), mach, dynp (dynamic pressure, Pa), density (kg/m^3),
// main (main thruster group level, 0..1), contact (1 while touching the ground), exhaust
// (strongest exhaust or particle stream level, 0..1), thr0, thr1, thr2 (levels of the
// vessel's first three thrusters, 0 where it has fewer; the lander's three engine clusters),
// stackmass (kg, the vessel and everything attached below it: what its drag decelerates).
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "world.h"

namespace app {

// The numeric columns after t and vessel, in file order.
const std::vector<std::string>& TelemetryColumns();

// One vessel's samples over consecutive sample times.
struct TelemetryTrack {
  std::string vessel, class_name;
  std::size_t first = 0;                    // index of its first sample time
  std::vector<std::vector<double>> values;  // [column][sample], columns as TelemetryColumns()
};

// Everything written to the file, kept as numbers for the report.
struct TelemetryData {
  std::vector<double> times;  // s, one per sample
  std::vector<TelemetryTrack> tracks;
};

class TelemetryWriter {
 public:
  static constexpr double kInterval = 0.1;  // s between samples

  explicit TelemetryWriter(std::string path);  // writes the header; throws HostError (73)
  // Writes the rows of every vessel if a sample is due at the world's time.
  void SampleDue(host::World& world);
  // Throws HostError (73) if anything written was lost.
  void Finish();
  // The samples so far; the caller may move them out once the run is over.
  TelemetryData& Data() { return data_; }

 private:
  void Row(double t, host::Vessel& v);

  std::string path_;
  std::ofstream out_;
  long next_ = 0;  // index of the next sample time on the 0.1 s grid
  TelemetryData data_;
};

// A CSV field: quoted when it holds a separator, a quote or a line end.
std::string CsvField(const std::string& s);

}  // namespace app

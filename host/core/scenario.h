// Scenario files: the text form of a world. Parsing and writing only; World::LoadScenario
// turns a parsed scenario into vessels.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "types.h"

namespace host {

struct ScenarioLine {
  int number = 0;    // 1-based line number in the file
  std::string text;  // leading and trailing white space removed
};

struct ScenarioVessel {
  std::string name;
  std::string class_name;
  int line = 0;  // line of the "Name:Class" header
  std::vector<ScenarioLine> lines;
};

struct Scenario {
  std::string path;
  std::vector<std::string> description;  // lines of BEGIN_DESC .. END_DESC
  std::string system = "Sol";
  double mjd = 61270.5;
  std::string focus;
  std::vector<ScenarioVessel> vessels;
};

// Parses scenario text. Throws HostError (65) naming the path, the line number and what was
// expected.
Scenario ParseScenario(const std::string& text, const std::string& path);

// The host's standard vessel lines, as ParseScenarioLineEx reads them into the status record
// handed to clbkLoadStateEx.
struct StandardLines {
  bool landed = false;  // STATUS Landed BODY
  std::string body;     // STATUS Orbiting|Landed BODY
  bool has_rpos = false, has_rvel = false, has_arot = false, has_vrot = false;
  VECTOR3 rpos{0, 0, 0}, rvel{0, 0, 0};  // m, m/s, relative to the body, global axes
  VECTOR3 arot{0, 0, 0};                 // degrees
  VECTOR3 vrot{0, 0, 0};                 // degrees/s, vessel frame
  bool has_pos = false;
  double longitude = 0, latitude = 0, heading = 0;  // degrees (landed)
  std::map<int, double> prplevel;                   // resource index -> fill level 0..1
  std::map<int, double> thlevel;                    // thruster index -> level
  std::vector<int> navmodes;
  bool attached = false;  // ATTACHED child:parent,ParentName
  int attach_child_point = 0, attach_parent_point = 0;
  std::string attach_parent;
  // The first standard line that could not be used: what was expected and what stood there,
  // and its line number (set by the host's reader).
  std::string error;
  int error_line = 0;
};

// Reads one standard line into `out`. Returns false for a line that is not a standard line or
// is malformed (then `out.error` says why, unless already set).
bool ParseStandardLine(const char* line, StandardLines& out);

// Decimals of the standard lines as written. Reading a saved file back gives positions to the
// millimetre and velocities to the micrometre per second, and saving again reproduces the text.
constexpr int kPositionDecimals = 3;      // RPOS, m
constexpr int kVelocityDecimals = 6;      // RVEL, m/s
constexpr int kAngleDecimals = 6;         // AROT, VROT, HEADING, degrees (2e-8 rad)
constexpr int kSurfaceAngleDecimals = 9;  // POS, degrees (1e-9 degree is 0.06 mm on Mars)
constexpr int kLevelDecimals = 6;         // PRPLEVEL, THLEVEL

// Formats the standard lines of a vessel, one "  KEY value" line each, in the usual order:
// STATUS, POS, HEADING, RPOS, RVEL, AROT, VROT, PRPLEVEL, THLEVEL, NAVMODE, ATTACHED (each only
// when it holds something).
std::vector<std::pair<std::string, std::string>> FormatStandardLines(const StandardLines& s);

}  // namespace host

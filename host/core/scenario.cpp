#include "scenario.h"

#include <cmath>
#include <cstdio>

#include "text_input.h"
#include "world.h"

namespace host {

namespace {

using text::Expected;

// Modules copy their lines into buffers of this size.
constexpr std::size_t kMaxVesselLine = 255;

// Dates the planetary theory covers (1000 Jan 1 to 3000 Jan 1).
constexpr double kMinMjd = -313698.0;
constexpr double kMaxMjd = 416787.0;

class ScenarioReader {
 public:
  ScenarioReader(const std::string& text, const std::string& path) : lines_(text::Lines(text)), path_(path) {
    scenario_.path = path;
  }

  Scenario Read() {
    while (Next()) {
      if (line_ == "BEGIN_DESC")
        ReadDescription();
      else if (line_ == "BEGIN_ENVIRONMENT")
        ReadEnvironment();
      else if (line_ == "BEGIN_FOCUS")
        ReadFocus();
      else if (line_ == "BEGIN_SHIPS")
        ReadShips();
      else if (line_.compare(0, 6, "BEGIN_") == 0 && line_.find_first_of(" \t") == std::string::npos)
        SkipBlock("END_" + line_.substr(6));
      else
        Fail("BEGIN_DESC, BEGIN_ENVIRONMENT, BEGIN_FOCUS, BEGIN_SHIPS or another BEGIN_ block");
    }
    return std::move(scenario_);
  }

 private:
  // Advances to the next line that is neither empty nor a comment; false at the end.
  bool Next() {
    while (index_ < lines_.size()) {
      number_ = static_cast<int>(++index_);
      const std::string& raw = lines_[index_ - 1];
      if (text::FirstControlByte(raw) >= 0) {
        line_ = raw;
        Fail("a line of text");
      }
      line_ = text::Trim(raw);
      if (!line_.empty() && line_[0] != ';') return true;
    }
    number_ = static_cast<int>(lines_.size());
    line_.clear();
    return false;
  }

  // Like Next, but the end of the file is an error while a block is open.
  void NextIn(const std::string& end) {
    if (!Next())
      throw HostError(kExitDataErr,
                      path_ + ":" + std::to_string(number_) + ": expected " + end + ", got the end of the file");
  }

  [[noreturn]] void Fail(const std::string& what) {
    throw HostError(kExitDataErr, Expected(path_, number_, what, line_));
  }

  void ReadDescription() {
    // Text lines, kept as written (without the indentation); comments are text here too.
    while (index_ < lines_.size()) {
      number_ = static_cast<int>(++index_);
      const std::string& raw = lines_[index_ - 1];
      line_ = text::Trim(raw);
      if (text::FirstControlByte(raw) >= 0) Fail("a line of text");
      if (line_ == "END_DESC") return;
      scenario_.description.push_back(line_);
    }
    throw HostError(kExitDataErr,
                    path_ + ":" + std::to_string(number_) + ": expected END_DESC, got the end of the file");
  }

  void ReadEnvironment() {
    for (NextIn("END_ENVIRONMENT"); line_ != "END_ENVIRONMENT"; NextIn("END_ENVIRONMENT")) {
      std::vector<std::string> w = text::Words(line_);
      if (w[0] == "System") {
        if (w.size() != 2) Fail("System and one name");
        scenario_.system = w[1];
      } else if (w[0] == "Date") {
        double mjd = 0;
        if (w.size() != 3 || w[1] != "MJD" || !text::ToReal(w[2], mjd)) Fail("Date MJD and a finite number");
        if (mjd < kMinMjd || mjd > kMaxMjd) Fail("a date between MJD -313698 and 416787 (years 1000 to 3000)");
        scenario_.mjd = mjd;
      } else {
        Fail("System NAME, Date MJD x or END_ENVIRONMENT");
      }
    }
  }

  void ReadFocus() {
    for (NextIn("END_FOCUS"); line_ != "END_FOCUS"; NextIn("END_FOCUS")) {
      std::vector<std::string> w = text::Words(line_);
      if (w[0] != "Ship" || w.size() != 2) Fail("Ship NAME or END_FOCUS");
      scenario_.focus = w[1];
    }
  }

  void ReadShips() {
    for (NextIn("END_SHIPS"); line_ != "END_SHIPS"; NextIn("END_SHIPS")) {
      std::size_t colon = line_.find(':');
      if (line_.find_first_of(" \t") != std::string::npos || colon == std::string::npos || colon == 0 ||
          colon + 1 == line_.size())
        Fail("a vessel header Name:Class or END_SHIPS");
      ScenarioVessel v;
      v.name = line_.substr(0, colon);
      v.class_name = line_.substr(colon + 1);
      v.line = number_;
      if (v.name.size() > kMaxVesselLine || v.class_name.size() > kMaxVesselLine)
        Fail("a vessel name and class of at most 255 characters each");
      for (NextIn("END"); line_ != "END"; NextIn("END")) {
        if (line_ == "END_SHIPS") Fail("END closing the block of '" + text::Quote(v.name) + "'");
        if (line_.size() > kMaxVesselLine) Fail("a vessel line of at most 255 characters");
        v.lines.push_back({number_, line_});
      }
      scenario_.vessels.push_back(std::move(v));
    }
  }

  void SkipBlock(const std::string& end) {
    for (NextIn(end); line_ != end; NextIn(end)) {
    }
  }

  std::vector<std::string> lines_;
  std::string path_;
  std::size_t index_ = 0;  // lines consumed
  int number_ = 0;         // 1-based number of the current line
  std::string line_;       // current line, trimmed
  Scenario scenario_;
};

// --- standard lines

bool Fail(StandardLines& out, const std::string& what, const char* line) {
  if (out.error.empty()) out.error = "expected " + what + ", got '" + text::Quote(line) + "'";
  return false;
}

bool ReadVector(const std::vector<std::string>& w, VECTOR3& v) {
  return w.size() == 4 && text::ToReal(w[1], v.x) && text::ToReal(w[2], v.y) && text::ToReal(w[3], v.z);
}

// "i:level" with a non-negative index.
bool ReadIndexed(const std::string& word, int& index, double& level) {
  std::size_t colon = word.find(':');
  if (colon == std::string::npos) return false;
  return text::ToInt(word.substr(0, colon), index) && index >= 0 && text::ToReal(word.substr(colon + 1), level);
}

// A vessel or body name as it stands in a line: one word.
bool IsName(const std::string& s) { return !s.empty() && s.find_first_of(" \t") == std::string::npos; }

}  // namespace

Scenario ParseScenario(const std::string& text, const std::string& path) { return ScenarioReader(text, path).Read(); }

bool ParseStandardLine(const char* line, StandardLines& out) {
  if (!line) return false;
  std::vector<std::string> w = text::Words(line);
  if (w.empty()) return false;
  const std::string& key = w[0];
  auto is = [&key](const char* k) { return text::EqualNoCase(key, k); };

  if (is("STATUS")) {
    if (w.size() != 3 || !IsName(w[2])) return Fail(out, "STATUS Orbiting BODY or STATUS Landed BODY", line);
    if (text::EqualNoCase(w[1], "Orbiting"))
      out.landed = false;
    else if (text::EqualNoCase(w[1], "Landed"))
      out.landed = true;
    else
      return Fail(out, "STATUS Orbiting BODY or STATUS Landed BODY", line);
    out.body = w[2];
    return true;
  }
  if (is("RPOS") || is("RVEL") || is("AROT") || is("VROT")) {
    VECTOR3 v{};
    if (!ReadVector(w, v)) return Fail(out, "three finite numbers after " + key, line);
    if (is("RPOS")) out.rpos = v, out.has_rpos = true;
    if (is("RVEL")) out.rvel = v, out.has_rvel = true;
    if (is("AROT")) out.arot = v, out.has_arot = true;
    if (is("VROT")) out.vrot = v, out.has_vrot = true;
    return true;
  }
  if (is("POS")) {
    double lon = 0, lat = 0;
    if (w.size() != 3 || !text::ToReal(w[1], lon) || !text::ToReal(w[2], lat) || std::fabs(lon) > 360 ||
        std::fabs(lat) > 90)
      return Fail(out, "POS longitude (-360 to 360) and latitude (-90 to 90) in degrees", line);
    out.longitude = lon;
    out.latitude = lat;
    out.has_pos = true;
    return true;
  }
  if (is("HEADING")) {
    double h = 0;
    if (w.size() != 2 || !text::ToReal(w[1], h) || std::fabs(h) > 360)
      return Fail(out, "HEADING and an angle from -360 to 360 degrees", line);
    out.heading = h;
    return true;
  }
  if (is("PRPLEVEL") || is("THLEVEL")) {
    bool propellant = is("PRPLEVEL");
    std::map<int, double> levels;
    for (std::size_t i = 1; i < w.size(); ++i) {
      int index = 0;
      double level = 0;
      // Fill levels are fractions; thruster levels are held as commanded and limited when used.
      if (!ReadIndexed(w[i], index, level) || (propellant && (level < 0 || level > 1)))
        return Fail(
            out,
            propellant ? "PRPLEVEL and index:level pairs with levels from 0 to 1" : "THLEVEL and index:level pairs",
            line);
      levels[index] = level;
    }
    if (levels.empty()) return Fail(out, key + " and at least one index:level pair", line);
    (propellant ? out.prplevel : out.thlevel) = std::move(levels);
    return true;
  }
  if (is("NAVMODE")) {
    std::vector<int> modes;
    for (std::size_t i = 1; i < w.size(); ++i) {
      int m = 0;
      if (!text::ToInt(w[i], m) || m < 1 || m > 7) return Fail(out, "NAVMODE and mode numbers from 1 to 7", line);
      modes.push_back(m);
    }
    if (modes.empty()) return Fail(out, "NAVMODE and at least one mode number", line);
    out.navmodes = std::move(modes);
    return true;
  }
  if (is("ATTACHED")) {
    // ATTACHED child:parent,ParentName
    std::size_t colon = w.size() == 2 ? w[1].find(':') : std::string::npos;
    std::size_t comma = colon == std::string::npos ? colon : w[1].find(',', colon);
    int child = 0, parent = 0;
    if (comma == std::string::npos || !text::ToInt(w[1].substr(0, colon), child) || child < 0 ||
        !text::ToInt(w[1].substr(colon + 1, comma - colon - 1), parent) || parent < 0 ||
        !IsName(w[1].substr(comma + 1)))
      return Fail(out, "ATTACHED child:parent,ParentName", line);
    out.attached = true;
    out.attach_child_point = child;
    out.attach_parent_point = parent;
    out.attach_parent = w[1].substr(comma + 1);
    return true;
  }
  return false;
}

namespace {

// Fixed decimals; a value that rounds to zero is written without its sign.
std::string Fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string s = buf;
  if (s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos) s.erase(0, 1);
  return s;
}

std::string Vector(const VECTOR3& v, int decimals) {
  return Fixed(v.x, decimals) + " " + Fixed(v.y, decimals) + " " + Fixed(v.z, decimals);
}

std::string Levels(const std::map<int, double>& levels) {
  std::string s;
  for (const auto& [index, level] : levels) {
    if (!s.empty()) s += ' ';
    s += std::to_string(index) + ":" + Fixed(level, kLevelDecimals);
  }
  return s;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> FormatStandardLines(const StandardLines& s) {
  std::vector<std::pair<std::string, std::string>> out;
  out.emplace_back("STATUS", std::string(s.landed ? "Landed " : "Orbiting ") + s.body);
  if (s.has_pos) {
    out.emplace_back("POS", Fixed(s.longitude, kSurfaceAngleDecimals) + " " + Fixed(s.latitude, kSurfaceAngleDecimals));
    out.emplace_back("HEADING", Fixed(s.heading, kAngleDecimals));
  }
  if (s.has_rpos) out.emplace_back("RPOS", Vector(s.rpos, kPositionDecimals));
  if (s.has_rvel) out.emplace_back("RVEL", Vector(s.rvel, kVelocityDecimals));
  if (s.has_arot) out.emplace_back("AROT", Vector(s.arot, kAngleDecimals));
  if (s.has_vrot) out.emplace_back("VROT", Vector(s.vrot, kAngleDecimals));
  if (!s.prplevel.empty()) out.emplace_back("PRPLEVEL", Levels(s.prplevel));
  if (!s.thlevel.empty()) out.emplace_back("THLEVEL", Levels(s.thlevel));
  if (!s.navmodes.empty()) {
    std::string modes;
    for (int m : s.navmodes) modes += (modes.empty() ? "" : " ") + std::to_string(m);
    out.emplace_back("NAVMODE", modes);
  }
  if (s.attached)
    out.emplace_back("ATTACHED", std::to_string(s.attach_child_point) + ":" + std::to_string(s.attach_parent_point) +
                                     "," + s.attach_parent);
  return out;
}

}  // namespace host

#include "class_config.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "text_input.h"
#include "world.h"

namespace host {

namespace {

class ClassReader {
 public:
  ClassReader(const std::string& path, ClassConfig& cfg) : path_(path), cfg_(cfg) {}

  void Read(const std::string& line, int number) {
    line_ = line;
    number_ = number;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) Fail("Key = value");
    std::string key = text::Trim(line.substr(0, eq));
    std::vector<std::string> w = text::Words(line.substr(eq + 1));
    auto is = [&key](const char* k) { return text::EqualNoCase(key, k); };

    if (is("Module")) {
      if (w.size() != 1 || w[0].find_first_of("/\\") != std::string::npos || w[0] == "." || w[0] == "..")
        Fail("Module = and the plain name of a module library");
      cfg_.module = w[0];
    } else if (is("EmptyMass")) {
      cfg_.empty_mass = Positive(w, "EmptyMass = mass in kg, greater than 0");
    } else if (is("Size")) {
      cfg_.size = Positive(w, "Size = mean radius in m, greater than 0");
    } else if (is("PMI")) {
      const char* what = "PMI = three moments of inertia per unit mass in m^2, each greater than 0";
      cfg_.pmi = Vector3(w, what);
      if (cfg_.pmi.x <= 0 || cfg_.pmi.y <= 0 || cfg_.pmi.z <= 0) Fail(what);
    } else if (is("CrossSections")) {
      const char* what = "CrossSections = three areas in m^2, none negative";
      cfg_.cross_sections = Vector3(w, what);
      if (cfg_.cross_sections.x < 0 || cfg_.cross_sections.y < 0 || cfg_.cross_sections.z < 0) Fail(what);
    } else if (is("CW")) {
      cfg_.cw = NotNegative(w, "CW = drag coefficient, not negative");
    } else if (is("Propellant")) {
      cfg_.propellant = NotNegative(w, "Propellant = capacity in kg, not negative");
    } else if (is("MainThruster")) {
      const char* what =
          "MainThruster = px py pz dx dy dz thrust isp (direction not zero, thrust and isp greater than 0)";
      if (w.size() != 8) Fail(what);
      NativeThruster t;
      t.pos = Reals3(w, 0, what);
      t.dir = Reals3(w, 3, what);
      if (!text::ToReal(w[6], t.max_thrust) || !text::ToReal(w[7], t.isp) || t.max_thrust <= 0 || t.isp <= 0 ||
          length(t.dir) == 0)
        Fail(what);
      cfg_.main_thrusters.push_back(t);
    } else if (is("Attachment")) {
      const char* what = "Attachment = toparent(0 or 1) px py pz dx dy dz rx ry rz ID (directions not zero)";
      if (w.size() != 11 || (w[0] != "0" && w[0] != "1")) Fail(what);
      NativeAttachment a;
      a.toparent = w[0] == "1";
      a.pos = Reals3(w, 1, what);
      a.dir = Reals3(w, 4, what);
      a.rot = Reals3(w, 7, what);
      if (length(a.dir) == 0 || length(a.rot) == 0) Fail(what);
      a.id = w[10];
      cfg_.attachments.push_back(a);
    } else if (is("Touchdown")) {
      const char* what = "Touchdown = x y z, three lines in all";
      if (cfg_.touchdown.size() == 3) Fail(what);
      cfg_.touchdown.push_back(Vector3(w, what));
      touchdown_line_ = number;
    } else {
      Fail(
          "a key of a class file (Module, EmptyMass, Size, PMI, CrossSections, CW, Propellant, MainThruster, "
          "Attachment, Touchdown) and = value");
    }
  }

  // What can only be judged once the whole file is read.
  void Finish() {
    const auto& td = cfg_.touchdown;
    if (td.empty()) return;
    number_ = touchdown_line_;
    if (td.size() != 3)
      throw HostError(kExitDataErr, path_ + ":" + std::to_string(number_) + ": expected three Touchdown lines, got " +
                                        std::to_string(td.size()));
    // The three points define the base; in a line they define none.
    if (length(crossp(td[1] - td[0], td[2] - td[0])) == 0)
      throw HostError(kExitDataErr,
                      path_ + ":" + std::to_string(number_) +
                          ": expected three Touchdown points that are not in a line, got points in a line");
  }

 private:
  [[noreturn]] void Fail(const std::string& what) {
    throw HostError(kExitDataErr, text::Expected(path_, number_, what, line_));
  }

  VECTOR3 Reals3(const std::vector<std::string>& w, std::size_t at, const char* what) {
    VECTOR3 v{};
    if (w.size() < at + 3 || !text::ToReal(w[at], v.x) || !text::ToReal(w[at + 1], v.y) ||
        !text::ToReal(w[at + 2], v.z))
      Fail(what);
    return v;
  }

  // A line that holds one vector and nothing else.
  VECTOR3 Vector3(const std::vector<std::string>& w, const char* what) {
    if (w.size() != 3) Fail(what);
    return Reals3(w, 0, what);
  }

  double NotNegative(const std::vector<std::string>& w, const char* what) {
    double v = 0;
    if (w.size() != 1 || !text::ToReal(w[0], v) || v < 0) Fail(what);
    return v;
  }

  double Positive(const std::vector<std::string>& w, const char* what) {
    double v = NotNegative(w, what);
    if (v <= 0) Fail(what);
    return v;
  }

  std::string path_;
  ClassConfig& cfg_;
  std::string line_;
  int number_ = 0;
  int touchdown_line_ = 0;
};

// A class name is a relative path below vessels/ without a way out of it.
bool UsableClassName(const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos || name.find('\\') != std::string::npos ||
      name.front() == '/' || name.find(':') != std::string::npos)
    return false;
  std::size_t b = 0;
  while (b <= name.size()) {
    std::size_t e = name.find('/', b);
    if (e == std::string::npos) e = name.size();
    std::string part = name.substr(b, e - b);
    if (part.empty() || part == "." || part == ".." || text::FirstControlByte(part) >= 0) return false;
    b = e + 1;
  }
  return true;
}

}  // namespace

ClassConfig ParseClassConfig(const std::string& text, const std::string& path, const std::string& class_name) {
  ClassConfig cfg;
  cfg.path = path;
  cfg.class_name = class_name;
  ClassReader reader(path, cfg);
  std::vector<std::string> lines = text::Lines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    int number = static_cast<int>(i + 1);
    if (text::FirstControlByte(lines[i]) >= 0)
      throw HostError(kExitDataErr, text::Expected(path, number, "a line of text", lines[i]));
    std::string line = text::Trim(lines[i].substr(0, lines[i].find(';')));
    if (!line.empty()) reader.Read(line, number);
  }
  reader.Finish();
  return cfg;
}

ClassConfig LoadClassConfig(const std::string& config_dir, const std::string& class_name) {
  std::string dir = config_dir + "/vessels/";
  if (!UsableClassName(class_name))
    throw HostError(kExitUnavailable, "class '" + text::Quote(class_name) + "': not a name of a class file below " +
                                          dir + ", nothing looked for");
  std::string path = dir + class_name + ".cfg";
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    throw HostError(kExitUnavailable, "class '" + class_name + "': no class file " + path);
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.is_open() || in.bad())
    throw HostError(kExitUnavailable, "class '" + class_name + "': cannot read class file " + path);
  return ParseClassConfig(text, path, class_name);
}

}  // namespace host

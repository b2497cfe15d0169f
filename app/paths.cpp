#include "paths.h"

#include <filesystem>

namespace app {

namespace fs = std::filesystem;

namespace {

fs::path ExecutableDir(const char* argv0) {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) exe = fs::absolute(argv0 ? argv0 : "quarn", ec);
  return exe.parent_path();
}

}  // namespace

Installation FindInstallation(const char* argv0) {
  fs::path bin = ExecutableDir(argv0);
  fs::path prefix = bin.parent_path();
  std::error_code ec;
  Installation in;
  if (fs::is_directory(prefix / "share" / "quarn" / "config", ec)) {
    in.config_dir = (prefix / "share" / "quarn" / "config").string();
    in.module_dir = (prefix / "lib" / "quarn").string();
    in.scenario_dir = (prefix / "share" / "quarn" / "scenarios").string();
  } else {
    in.config_dir = QUARN_SOURCE_DIR "/data/config";
    in.module_dir = (prefix / "lib").string();
    in.scenario_dir = QUARN_SOURCE_DIR "/data/scenarios";
  }
  return in;
}

}  // namespace app

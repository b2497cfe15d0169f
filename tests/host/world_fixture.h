// A world with its own class directory, for tests that create vessels by class
// name.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <unistd.h>

#include "api.h"
#include "scenario.h"
#include "world.h"

namespace testing_support {

inline std::string BuildLibDir() { return std::string(QUARN_BUILD_DIR) + "/lib"; }
inline std::string SourceDir() { return QUARN_SOURCE_DIR; }

class WorldTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("quarn-test-" + std::to_string(::getpid()) + "-" +
                                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "vessels");
    // the project's own classes, plus whatever a test adds
    std::filesystem::copy(SourceDir() + "/data/config/vessels", dir_ / "vessels",
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  }
  void TearDown() override {
    world_.reset();
    std::filesystem::remove_all(dir_);
  }
  void AddClass(const std::string& class_name, const std::string& text) {
    auto path = dir_ / "vessels" / (class_name + ".cfg");
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  host::World& World() {
    if (!world_) world_ = std::make_unique<host::World>(host::WorldOptions{(dir_).string(), BuildLibDir(), 61270.5});
    return *world_;
  }
  // The text after a module's key in a vessel's block of the saved world, or "" if absent.
  std::string SavedLine(const std::string& vessel, const std::string& key) {
    std::istringstream in(World().SaveScenario());
    std::string line, found;
    bool inside = false;
    const std::string prefix = "  " + key + " ";
    while (std::getline(in, line)) {
      if (line.rfind(vessel + ":", 0) == 0)
        inside = true;
      else if (line == "END")
        inside = false;
      else if (inside && line.rfind(prefix, 0) == 0)
        found = line.substr(prefix.size());
    }
    return found;
  }
  host::World& Load(const std::string& text) {
    World().LoadScenario(host::ParseScenario(text, "test.scn"));
    return *world_;
  }
  std::filesystem::path dir_;
  std::unique_ptr<host::World> world_;
};

}  // namespace testing_support

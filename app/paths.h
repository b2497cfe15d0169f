// Where the command finds its class files, module libraries and scenarios when not told.
//
// Two layouts are known, both relative to the executable:
//   install tree  <prefix>/bin/quarn, <prefix>/lib/quarn/*.so, <prefix>/share/quarn/{config,scenarios}
//   build tree    <build>/bin/quarn, <build>/lib/*.so, and the source tree's data/ (its path is
//                 recorded at compile time)
// The install tree is recognised by <prefix>/share/quarn/config.
#pragma once

#include <string>

namespace app {

struct Installation {
  std::string config_dir;    // vessels/<class>.cfg
  std::string module_dir;    // module libraries
  std::string scenario_dir;  // the reference scenarios
};

Installation FindInstallation(const char* argv0);

}  // namespace app

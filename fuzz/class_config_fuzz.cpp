// The class-file reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "class_config.h"
#include "world.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    host::ParseClassConfig(std::string(reinterpret_cast<const char*>(data), size), "fuzz.cfg", "FUZZ/class");
  } catch (const host::HostError&) {
  }
  return 0;
}

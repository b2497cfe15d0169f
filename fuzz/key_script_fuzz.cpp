// The key-script reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "key_script.h"
#include "world.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    host::ParseKeyScript(std::string(reinterpret_cast<const char*>(data), size), "fuzz.keys");
  } catch (const host::HostError&) {
  }
  return 0;
}

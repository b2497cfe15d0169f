// The files a run writes into its output directory.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "events.h"
#include "world.h"

namespace app {

// Creates the directory and its parents. Throws HostError (73) if it cannot.
void MakeDirectory(const std::string& dir);

// Writes a whole file, creating its directory. Throws HostError (73) if it cannot.
void WriteTextFile(const std::string& path, const std::string& text);

// events.jsonl: one JSON object a line, written as the events happen.
class EventFile {
 public:
  explicit EventFile(std::string path);  // throws HostError (73)
  void Write(const host::Event& e);
  // Throws HostError (73) if anything written was lost.
  void Finish();

 private:
  std::string path_;
  std::ofstream out_;
};

// A display colour as modules give it (0xBBGGRR) in the usual order 0xRRGGBB.
unsigned HudRgb(DWORD bgr);

// hud.txt: one text draw a line, "x y colour text", colour as 0xRRGGBB.
std::string FormatHud(const std::vector<host::HudText>& texts);

}  // namespace app

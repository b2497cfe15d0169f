#include "outputs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace app {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void CannotWrite(const std::string& what, const std::string& why) {
  throw host::HostError(host::kExitCantCreate, "cannot write " + what + (why.empty() ? "" : ": " + why));
}

}  // namespace

void MakeDirectory(const std::string& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec || !fs::is_directory(dir)) CannotWrite("directory " + dir, ec ? ec.message() : "not a directory");
}

void WriteTextFile(const std::string& path, const std::string& text) {
  fs::path parent = fs::path(path).parent_path();
  if (!parent.empty()) MakeDirectory(parent.string());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) CannotWrite(path, std::strerror(errno));
  out << text;
  out.close();
  if (!out) CannotWrite(path, "write failed");
}

EventFile::EventFile(std::string path) : path_(std::move(path)), out_(path_, std::ios::binary | std::ios::trunc) {
  if (!out_) CannotWrite(path_, std::strerror(errno));
}

// Each event reaches the file at once, so a run can be followed while it goes.
void EventFile::Write(const host::Event& e) { out_ << host::EventToJson(e) << '\n' << std::flush; }

void EventFile::Finish() {
  out_.close();
  if (!out_) CannotWrite(path_, "write failed");
}

unsigned HudRgb(DWORD bgr) {
  return static_cast<unsigned>(((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu));
}

std::string FormatHud(const std::vector<host::HudText>& texts) {
  std::string out;
  for (const host::HudText& t : texts) {
    char head[64];
    std::snprintf(head, sizeof head, "%d %d 0x%06X ", t.x, t.y, HudRgb(t.colour));
    out += head + t.text + "\n";
  }
  return out;
}

}  // namespace app

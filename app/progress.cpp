#include "progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace app {

namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);

}  // namespace

Progress::Progress(ProgressMode mode, double total)
    : enabled_(mode == ProgressMode::Bar || (mode == ProgressMode::Auto && ::isatty(STDERR_FILENO))), total_(total) {}

Progress::~Progress() { Clear(); }

void Progress::Update(double t) {
  if (!enabled_) return;
  auto now = std::chrono::steady_clock::now();
  if (shown_ && now - last_ < kRedrawInterval) return;
  last_ = now;
  Draw(t);
}

void Progress::Clear() {
  if (!shown_) return;
  std::fprintf(stderr, "\r%*s\r", kBarWidth + 40, "");
  std::fflush(stderr);
  shown_ = false;
}

void Progress::Finish(double t) {
  if (!enabled_) return;
  Draw(t);
  std::fputc('\n', stderr);
  shown_ = false;
}

void Progress::Draw(double t) {
  // The standard output may be the same terminal: what it holds goes out before the bar.
  std::fflush(stdout);
  double f = total_ > 0 ? std::clamp(t / total_, 0.0, 1.0) : 1.0;
  int filled = static_cast<int>(f * kBarWidth);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), '-');
  std::fprintf(stderr, "\r[%s] %3d%%  t = %.1f / %.1f s", bar.c_str(), static_cast<int>(f * 100), t, total_);
  std::fflush(stderr);
  shown_ = true;
}

}  // namespace app

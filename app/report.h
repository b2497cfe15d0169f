// report.html: one self-contained page that shows a run (timeline, charts, head-up display),
// with the chart library and the run's data inline so that it opens from disk offline.
#pragma once

#include <string>
#include <vector>

#include "events.h"
#include "telemetry.h"
#include "world.h"

namespace app {

// What a vessel showed on its head-up display at a moment.
struct HudShot {
  std::string vessel;
  double t = 0;  // s since the start
  std::vector<host::HudText> texts;
};

// The last display each vessel drew while it had the focus, so that a vessel that handed the
// focus on (the bus, after the release) is still shown.
class HudKeeper {
 public:
  static constexpr double kInterval = 1.0;  // s between looks

  // Looks at the focus vessel's display if a look is due at the world's time.
  void SampleDue(host::World& world);
  // Looks now, whatever the time: the run's last moment.
  void Sample(host::World& world);
  // In the order the vessels first drew something; vessels that drew nothing are left out.
  const std::vector<HudShot>& Shots() const { return shots_; }

 private:
  std::vector<HudShot> shots_;
  long next_ = 0;  // index of the next look on the 1 s grid
};

struct ReportInput {
  std::string scenario;  // its name, the page's title
  double end_time = 0;   // s since the start
  std::string summary;   // shown preformatted when not empty
  std::vector<host::Event> events;
  TelemetryData telemetry;
  std::string focus;          // the vessel with the focus at the end, empty for none
  std::vector<HudShot> huds;  // as HudKeeper keeps them
};

// The data block of the page: one JSON object in which no '<' appears, so that nothing in
// it (a vessel named "</script>", say) can end the block it sits in.
std::string ReportData(const ReportInput& in);

// The whole page.
std::string ReportHtml(const ReportInput& in);

}  // namespace app

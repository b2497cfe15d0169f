// report.html as written: the data block survives any text a run can hold, numbers come back
// to the step they are sent at, and an empty run still gives a page.
#include "report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

using nlohmann::json;

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// What the page's script does with a column: sum the steps, null staying null.
std::vector<double> Decode(const json& steps, double step) {
  std::vector<double> out;
  long long sum = 0;
  for (const json& d : steps) {
    if (d.is_null()) {
      out.push_back(std::numeric_limits<double>::quiet_NaN());
      continue;
    }
    sum += d.get<long long>();
    out.push_back(static_cast<double>(sum) * step);
  }
  return out;
}

// One vessel whose columns are all `fill`, with the given altitudes.
app::TelemetryTrack Track(std::string name, std::size_t first, std::vector<double> alt, double fill = 0) {
  app::TelemetryTrack t{std::move(name), "QUARN/test", first, {}};
  for (const std::string& c : app::TelemetryColumns())
    t.values.push_back(c == "alt" ? alt : std::vector<double>(alt.size(), fill));
  return t;
}

TEST(Report, HostileTextStaysInsideTheDataBlock) {
  const std::string nasty = "Lander \"7\", </script><script>alert(1)</script> <!-- x";
  app::ReportInput in;
  in.scenario = "a<b>&\"c\"";
  in.summary = "Flight summary\n  ends </SCRIPT> here\n";
  host::Event e;
  e.t = 1.5;
  e.event = "created";
  e.vessel = nasty;
  e.Add("class", std::string("QUARN/x"));
  in.events.push_back(e);
  in.telemetry.times = {0, 0.1};
  in.telemetry.tracks.push_back(Track(nasty, 0, {10, 11}));
  in.focus = nasty;
  in.huds.push_back({nasty, 1.5, {{0x66FFFF, 5, 7, nasty}}});

  const std::string data = app::ReportData(in);
  EXPECT_EQ(data.find('<'), std::string::npos);
  json j = json::parse(data);
  EXPECT_EQ(j["scenario"], in.scenario);
  EXPECT_EQ(j["summary"], in.summary);
  EXPECT_EQ(j["events"][0]["vessel"], nasty);
  EXPECT_EQ(j["tracks"][0]["vessel"], nasty);
  EXPECT_EQ(j["focus"], nasty);
  EXPECT_EQ(j["huds"][0]["vessel"], nasty);
  // at its place, and the module's 0xBBGGRR yellow as a page colour
  EXPECT_EQ(j["huds"][0]["texts"][0], json::array({5, 7, "#ffff66", nasty}));

  // the page closes exactly its own style and script blocks, and escapes the title
  const std::string page = app::ReportHtml(in);
  EXPECT_EQ(Count(page, "</script>") + Count(page, "</SCRIPT>"), 2u);
  EXPECT_EQ(Count(page, "</style>"), 1u);
  EXPECT_NE(page.find("<title>a&lt;b&gt;&amp;&quot;c&quot; "), std::string::npos);
  EXPECT_EQ(page.find("{{"), std::string::npos) << "a slot left unfilled";
}

TEST(Report, NumbersComeBackToTheirStep) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> alt = {125000.04, 124999.96, -3.25, nan, -3.05, inf, 0.0, 1e300, 7.0};
  app::ReportInput in;
  for (std::size_t i = 0; i < alt.size(); ++i) in.telemetry.times.push_back(0.1 * static_cast<double>(i));
  in.telemetry.tracks.push_back(Track("Probe", 0, alt));
  host::Event e;
  e.t = 2;
  e.event = "touchdown";
  e.vessel = "Probe";
  e.near_body = true;
  e.alt = nan;
  e.Add("vspeed", -inf);
  in.events.push_back(e);

  json j = json::parse(app::ReportData(in));
  const double step = j["steps"]["alt"];
  std::vector<double> got = Decode(j["tracks"][0]["columns"]["alt"], step);
  ASSERT_EQ(got.size(), alt.size());
  for (std::size_t i = 0; i < alt.size(); ++i) {
    if (!std::isfinite(alt[i]) || std::fabs(alt[i]) > 1e12)
      EXPECT_TRUE(std::isnan(got[i])) << i << ": JSON has no NaN or infinity: null";
    else
      EXPECT_NEAR(got[i], alt[i], step / 2 + 1e-9) << i;
  }
  std::vector<double> t = Decode(j["t"], j["steps"]["t"]);
  ASSERT_EQ(t.size(), alt.size());
  EXPECT_NEAR(t.back(), 0.8, 1e-9);

  EXPECT_TRUE(j["events"][0]["alt"].is_null());
  EXPECT_TRUE(j["events"][0]["vspeed"].is_null());
  // a column that is 0 throughout is left out; the page reads it as zeros
  EXPECT_FALSE(j["tracks"][0]["columns"].contains("drag"));
  EXPECT_EQ(j["tracks"][0]["first"], 0);
  EXPECT_EQ(j["tracks"][0]["n"], alt.size());
}

TEST(Report, EmptyRunStillGivesAPage) {
  app::ReportInput in;
  in.scenario = "nothing";
  json j = json::parse(app::ReportData(in));
  EXPECT_TRUE(j["t"].empty());
  EXPECT_TRUE(j["tracks"].empty());
  EXPECT_TRUE(j["events"].empty());
  EXPECT_TRUE(j["huds"].empty());
  EXPECT_EQ(j["summary"], "");
  const std::string page = app::ReportHtml(in);
  EXPECT_NE(page.find("id=\"quarn-data\""), std::string::npos);
  EXPECT_NE(page.find("uPlot"), std::string::npos) << "the chart library is inline";
}

}  // namespace

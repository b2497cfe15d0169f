// The module-line reader and writer every module shares.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scenario.h"
#include "scenario_io.h"
#include "scenario_lines.h"

namespace {

struct Antenna {
  int state = 0;
  double deploy = 0.0, elevation = 0.34, azimuth = 0.0;
};

struct ScanCase {
  const char *text; // what follows the key
  int stored;
  Antenna expect;
};

void PrintTo(const ScanCase &c, std::ostream *os) {
  *os << '"' << c.text << '"';
}

class ScanLineValuesTest : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanLineValuesTest, StopsAtFirstValueItCannotRead) {
  const ScanCase &c = GetParam();
  Antenna a;
  const frame::LineValue values[] = {frame::Int(a.state), frame::Real(a.deploy),
                                     frame::Real(a.elevation),
                                     frame::Real(a.azimuth)};
  EXPECT_EQ(frame::ScanLineValues(c.text, values, 4), c.stored);
  EXPECT_EQ(a.state, c.expect.state);
  EXPECT_DOUBLE_EQ(a.deploy, c.expect.deploy);
  EXPECT_DOUBLE_EQ(a.elevation, c.expect.elevation);
  EXPECT_DOUBLE_EQ(a.azimuth, c.expect.azimuth);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanLineValuesTest,
    testing::Values(
        ScanCase{"", 0, {0, 0.0, 0.34, 0.0}},   // key alone: first values stay
        ScanCase{" 2", 1, {2, 0.0, 0.34, 0.0}}, // one integer: only the first
        ScanCase{" 2 0.5 0.6 0.25", 4, {2, 0.5, 0.6, 0.25}}, // all four
        ScanCase{
            " 1 0.5 x 0.3", 2, {1, 0.5, 0.34, 0.0}}, // stops at the bad value
        ScanCase{"ENNA 3 0.5", 0, {0, 0.0, 0.34, 0.0}}, // key with more letters
        ScanCase{
            " 1.5 2", 3, {1, 0.5, 2.0, 0.0}}, // "%d%lf" reads "1" then ".5"
        ScanCase{
            " 3 nan 0.5", 1, {3, 0.0, 0.34, 0.0}}, // non-finite is unreadable
        ScanCase{" 3 inf", 1, {3, 0.0, 0.34, 0.0}},
        ScanCase{
            " 99999999999 1", 0, {0, 0.0, 0.34, 0.0}}, // integer out of range
        ScanCase{"\t-4\t1e-3  -2.5E1 +7", 4, {-4, 0.001, -25.0, 7.0}}));

// Reading a block: keys compared on three characters without case, last line
// wins, other lines to the host's standard-line parser.
TEST(ReadScenarioLines, MatchesKeysAndHandsOtherLinesOn) {
  Antenna a;
  int released = 0;
  const frame::LineKey keys[] = {
      {"ANT",
       4,
       {frame::Int(a.state), frame::Real(a.deploy), frame::Real(a.elevation),
        frame::Real(a.azimuth)}},
      {"VLQ", 1, {frame::Int(released)}},
  };
  host::ScenarioVessel block;
  int n = 1;
  for (const char *l :
       {"ant 2 0.5", "STATUS Orbiting Mars", "ANT 3", "vLq 1", "VLQX"})
    block.lines.push_back({n++, l});
  host::ScenarioBlockReader reader;
  reader.block = &block;
  host::StandardLines status;
  VESSEL2 vessel(nullptr, 1);
  frame::ReadScenarioLines(vessel, &reader, &status, keys, 2);
  EXPECT_EQ(a.state, 3); // the later ANT line won for the value it holds
  EXPECT_DOUBLE_EQ(a.deploy,
                   0.5); // and left the rest as the earlier line set them
  EXPECT_DOUBLE_EQ(a.elevation, 0.34);
  EXPECT_EQ(released, 1); // "VLQX" matched VLQ and read nothing
  EXPECT_EQ(status.body, "Mars");
  EXPECT_TRUE(status.error.empty()) << status.error;
}

TEST(WriteScenarioLines, IntegersPlainRealsWithFourDecimals) {
  int state = 2;
  double deploy = 1.0, elevation = 0.123456, azimuth = -0.00004;
  const frame::LineKey keys[] = {
      {"ANT",
       4,
       {frame::Int(state), frame::Real(deploy), frame::Real(elevation),
        frame::Real(azimuth)}},
      {"VLQ", 1, {frame::Int(state)}},
  };
  std::string out;
  host::ScenarioBlockWriter writer;
  writer.out = &out;
  frame::WriteScenarioLines(&writer, keys, 2);
  EXPECT_EQ(out, "  ANT 2 1.0000 0.1235 -0.0000\n  VLQ 2\n");
}

} // namespace

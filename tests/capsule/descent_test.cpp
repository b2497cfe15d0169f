// A whole descent in the host with the real lander and heat-shield modules and the host's
// physics: what the capsule makes, holds and lets go of, as the event log shows it.
#include <cstdio>
#include <string>
#include <vector>

#include "capsule_fixture.h"

namespace {

using capsule_testing::CapsuleTest;

constexpr double kDt = 0.01;

const host::Event* First(host::World& w, const std::string& kind, const std::string& vessel) {
  for (const host::Event* e : w.Events().Named(kind))
    if (e->vessel == vessel) return e;
  return nullptr;
}

TEST_F(CapsuleTest, NominalDescentMakesHoldsAndReleasesItsLanderAndDropsItsShield) {
  double tank_when_attached = -1;
  std::string lander_point;
  World().Events().SetListener([&](const host::Event& e) {
    if (e.event != "attached" || e.vessel != "Velquin") return;
    const host::Vessel* lander = World().FindByName("Velquin");
    tank_when_attached = lander->config.propellants[0]->mass;
    lander_point = lander->config.attachments[0]->peer->id;
  });

  // from below the parachute's speed limit a little above its height, until the lander is down
  host::Vessel& capsule = NewCapsule(12000, 450);
  for (int i = 0; i < 30000 && !First(World(), "touchdown", "Velquin"); ++i) World().Step(kDt);

  std::vector<std::string> story;
  for (const host::Event& e : World().Events().All())
    if (e.event == "created" || e.event == "attached" || e.event == "detached" || e.event == "focus" ||
        e.event == "deleted")
      story.push_back(e.event + " " + e.vessel);
  EXPECT_EQ(story, (std::vector<std::string>{"created KTX_Capsule", "created Velquin", "attached Velquin",
                                             "created KTX_Heatshield", "detached Velquin", "focus Velquin"}));

  const host::Event* lander = First(World(), "created", "Velquin");
  ASSERT_NE(lander, nullptr);
  EXPECT_EQ(std::get<std::string>(*lander->Find("class")), "QUARN/quarn_vlqn");
  EXPECT_EQ(std::get<std::string>(*lander->Find("by")), "KTX_Capsule");
  EXPECT_EQ(lander->t, 0);
  EXPECT_EQ(tank_when_attached, 45);
  EXPECT_EQ(lander_point, "BS");

  // each event under its limits, as the vessel concerned saw them at that moment
  const host::Event* shield = First(World(), "created", "KTX_Heatshield");
  ASSERT_NE(shield, nullptr);
  EXPECT_EQ(std::get<std::string>(*shield->Find("class")), "QUARN/quarn_htshld");
  EXPECT_EQ(std::get<std::string>(*shield->Find("by")), "KTX_Capsule");
  EXPECT_LT(shield->alt, 6850);
  EXPECT_LT(shield->airspeed, 120);
  const host::Event* release = First(World(), "detached", "Velquin");
  ASSERT_NE(release, nullptr);
  EXPECT_EQ(std::get<std::string>(*release->Find("parent")), "KTX_Capsule");
  EXPECT_LT(release->alt, 1200);
  EXPECT_LT(release->airspeed, 75);
  EXPECT_GT(release->alt, 100);  // released in flight, well before the ground
  EXPECT_EQ(World().Focus(), World().FindByName("Velquin"));

  // the capsule down under its parachute, collapsed; neither it nor the lander crashed
  const host::Event* capsule_down = First(World(), "touchdown", "KTX_Capsule");
  const host::Event* lander_down = First(World(), "touchdown", "Velquin");
  ASSERT_NE(capsule_down, nullptr);
  ASSERT_NE(lander_down, nullptr);
  EXPECT_EQ(First(World(), "crash", "KTX_Capsule"), nullptr);
  EXPECT_EQ(First(World(), "crash", "Velquin"), nullptr);
  EXPECT_EQ(SavedCht().text, "1 2 0 0.0000 2 1.0000");
  EXPECT_EQ(capsule.config.empty_mass, 240);
  EXPECT_EQ(Visibilities(capsule),
            (std::vector<WORD>{MESHVIS_EXTERNAL, MESHVIS_NEVER, MESHVIS_NEVER, MESHVIS_EXTERNAL}));

  std::printf(
      "heat shield off at %.0f m, %.1f m/s; lander released at %.0f m, %.1f m/s; capsule down at %.1f m/s "
      "(t %.1f s), lander at %.1f m/s (t %.1f s)\n",
      shield->alt, shield->airspeed, release->alt, release->airspeed, -std::get<double>(*capsule_down->Find("vspeed")),
      capsule_down->t, -std::get<double>(*lander_down->Find("vspeed")), lander_down->t);
}

}  // namespace

// Scenario files into vessels and back.
#include <cmath>
#include <cstdio>

#include "dynamics.h"
#include "kinematics.h"
#include "math3.h"
#include "scenario_io.h"
#include "world.h"

namespace host {

namespace {

std::string Where(const Scenario &sc, int line) {
  return sc.path + ":" + std::to_string(line) + ": ";
}

struct PendingAttachment {
  Vessel *child;
  const StandardLines *lines;
  int line;
};

} // namespace

void World::LoadScenario(const Scenario &sc) {
  mjd_ = sc.mjd;
  mjd_at_zero_ = mjd_ - simt_ / 86400.0;
  UpdateBodies(bodies_, mjd_);
  std::vector<StandardLines> loaded(sc.vessels.size());
  std::vector<PendingAttachment> attachments;
  for (std::size_t i = 0; i < sc.vessels.size(); ++i) {
    const ScenarioVessel &block = sc.vessels[i];
    Vessel *vp = nullptr;
    try {
      vp = &Instantiate(block.name, block.class_name, "");
    } catch (const HostError &e) {
      throw HostError(e.code, Where(sc, block.line) + e.what());
    }
    Vessel &v = *vp;
    if (v.name != block.name)
      throw HostError(kExitDataErr,
                      Where(sc, block.line) +
                          "expected a vessel name not used before, got '" +
                          block.name + "' a second time");

    StandardLines &st = loaded[i];
    ScenarioBlockReader reader;
    reader.block = &block;
    ActiveReader() = &reader;
    v.Callbacks()->clbkLoadStateEx(&reader, &st);
    ActiveReader() = nullptr;
    if (!st.error.empty())
      throw HostError(kExitDataErr, Where(sc, st.error_line) + st.error);

    Body *body = st.body.empty() ? nullptr : FindBody(st.body);
    if (!body)
      throw HostError(
          kExitDataErr,
          Where(sc, block.line) +
              "expected a STATUS line naming a known body for '" + block.name +
              "'" + (st.body.empty() ? "" : ", got body '" + st.body + "'"));
    v.state.kin.ref = body;
    if (st.landed) {
      PlaceLanded(v, st.longitude * RAD, st.latitude * RAD, st.heading * RAD);
    } else {
      Place(v, *body, st.rpos, st.rvel, MatrixFromAngles(st.arot * RAD),
            st.vrot * RAD);
    }
    for (const auto &[idx, level] : st.prplevel) {
      if (idx < 0 ||
          static_cast<std::size_t>(idx) >= v.config.propellants.size())
        throw HostError(kExitDataErr,
                        Where(sc, block.line) +
                            "expected PRPLEVEL indices of the " +
                            std::to_string(v.config.propellants.size()) +
                            " propellant resources of '" + block.name +
                            "', got " + std::to_string(idx));
      PropellantRecord &p = *v.config.propellants[idx];
      p.mass = std::fmin(std::fmax(level, 0.0), 1.0) * p.max_mass;
    }
    for (const auto &[idx, level] : st.thlevel) {
      if (idx < 0 || static_cast<std::size_t>(idx) >= v.config.thrusters.size())
        throw HostError(
            kExitDataErr,
            Where(sc, block.line) + "expected THLEVEL indices of the " +
                std::to_string(v.config.thrusters.size()) + " thrusters of '" +
                block.name + "', got " + std::to_string(idx));
      v.config.thrusters[idx]->level = level;
    }
    for (int mode : st.navmodes)
      if (mode > 0 && mode < 8)
        v.state.navmode[mode] = true;
    if (st.attached)
      attachments.push_back({&v, &st, block.line});
    Event e = MakeEvent("created", &v);
    e.Add("class", v.class_name).Add("by", "");
    events_.Emit(std::move(e));
  }

  for (const PendingAttachment &pa : attachments) {
    const StandardLines &st = *pa.lines;
    Vessel *parent = FindByName(st.attach_parent);
    AttachmentRecord *pp = nullptr, *cp = nullptr;
    if (parent) {
      int n = 0;
      for (auto &a : parent->config.attachments)
        if (!a->toparent && n++ == st.attach_parent_point)
          pp = a.get();
      n = 0;
      for (auto &a : pa.child->config.attachments)
        if (a->toparent && n++ == st.attach_child_point)
          cp = a.get();
    }
    if (!parent || !pp || !cp || !Attach(*parent, *pp, *pa.child, *cp))
      throw HostError(kExitDataErr,
                      Where(sc, pa.line) +
                          "expected ATTACHED to name a free child point of '" +
                          pa.child->name +
                          "' and a free point of an existing vessel, got " +
                          std::to_string(st.attach_child_point) + ":" +
                          std::to_string(st.attach_parent_point) + "," +
                          st.attach_parent);
  }

  Vessel *focus = sc.focus.empty() ? nullptr : FindByName(sc.focus);
  if (!sc.focus.empty() && !focus)
    throw HostError(
        kExitDataErr,
        sc.path + ": expected the focus ship to be one of the vessels, got '" +
            sc.focus + "'");
  SetFocus(focus ? focus : VesselByIndex(0));
  FinishCreation();
}

std::string World::SaveVessel(Vessel &v) {
  std::string out;
  ScenarioBlockWriter writer;
  writer.out = &out;
  v.Callbacks()->clbkSaveState(&writer);
  return out;
}

std::string World::SaveScenario(const std::string &description) {
  std::string out;
  if (!description.empty())
    out += "BEGIN_DESC\n" + description +
           (description.back() == '\n' ? "" : "\n") + "END_DESC\n\n";
  char buf[128];
  std::snprintf(buf, sizeof buf, "  Date MJD %.10f\n", mjd_);
  out += "BEGIN_ENVIRONMENT\n  System Sol\n";
  out += buf;
  out += "END_ENVIRONMENT\n\n";
  if (Vessel *f = Focus())
    out += "BEGIN_FOCUS\n  Ship " + f->name + "\nEND_FOCUS\n\n";
  out += "BEGIN_SHIPS\n";
  for (unsigned s : order_) {
    Vessel &v = *slots_[s];
    out += v.name + ":" + v.class_name + "\n";
    out += SaveVessel(v);
    out += "END\n";
  }
  out += "END_SHIPS\n";
  return out;
}

} // namespace host

#include "vessel_record.h"

#include <algorithm>

#include "thrust.h"

namespace host {

double ParticleStreamRecord::Level() const {
  if (level)
    return *level;
  return thruster ? EffectiveLevel(*thruster) : 0;
}

double ExhaustRecord::Level() const {
  return thruster ? EffectiveLevel(*thruster) : 0;
}

double Vessel::PropellantMass() const {
  double m = 0;
  for (const auto &p : config.propellants)
    m += p->mass;
  return m;
}

double Vessel::Mass() const { return config.empty_mass + PropellantMass(); }

Vessel *Vessel::Parent() {
  for (const auto &a : config.attachments)
    if (a->toparent && a->peer)
      return a->peer->owner;
  return nullptr;
}

Vessel *Vessel::Root() {
  Vessel *v = this;
  // Attachment trees are acyclic (Attach refuses cycles); the bound is a guard
  // all the same.
  for (int depth = 0; depth < 64; ++depth) {
    Vessel *p = v->Parent();
    if (!p)
      return v;
    v = p;
  }
  return v;
}

} // namespace host

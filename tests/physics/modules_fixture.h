#pragma once

#include "physics_fixture.h"

namespace physics_test {

// Vessels of the mission's own classes, far out in free space.
class ModulesTest : public PhysicsTest {
 protected:
  host::Vessel& FreeVessel(const char* cls, const char* name) {
    GravityOff();
    return Create(cls, name, Mars(), {4e8, 0, 0}, {0, 0, 0});
  }
};

}  // namespace physics_test

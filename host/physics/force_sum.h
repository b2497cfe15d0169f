// What the force sources of one step add up to, for one composite.
#pragma once

#include "types.h"

namespace host {

struct ForceSum {
  VECTOR3 force{0, 0, 0};      // thrust and aerodynamics, root axes, N
  VECTOR3 torque{0, 0, 0};     // about the cg, root axes, N m (tau = F x r)
  VECTOR3 gravity{0, 0, 0};    // gravitational acceleration at the cg, global axes, m/s^2
  double thrust = 0;           // N, sum of the thrusters' magnitudes (nonzero: the vessel
                               // is under power)
  double propellant_used = 0;  // kg drawn in this step

  // A force in root axes at a point given relative to the cg, root axes.
  void Add(const VECTOR3& f, const VECTOR3& r_from_cg) {
    force += f;
    torque += crossp(f, r_from_cg);
  }
};

}  // namespace host

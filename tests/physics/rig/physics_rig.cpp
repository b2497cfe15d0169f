// A test vessel for the flight dynamics: a 1000 kg body with 500 kg of propellant, a main
// engine, attitude thrusters in pure couples (2 x 100 N at 2 m: 400 N m each group), an
// attachment point for a child ahead and one for a parent behind, and three touchdown points
// given by position only (it stands on its -y side).
#include "module_frame.h"

namespace {

constexpr double kThrust = 100, kIsp = 3000, kArm = 2;

class physics_rig : public VESSEL3 {
 public:
  physics_rig(OBJHANDLE h, int fmodel) : VESSEL3(h, fmodel) {}

  void clbkSetClassCaps(FILEHANDLE) override {
    SetEmptyMass(1000);
    SetPMI(_V(2, 3, 1.5));
    SetSize(2);
    SetCW(1, 1, 1, 1);
    SetCrossSections(_V(4, 4, 4));
    SetRotDrag(_V(1, 1, 1));
    SetTouchdownPoints(_V(0, -1.5, 1), _V(-1, -1.5, -1), _V(1, -1.5, -1));
    PROPELLANT_HANDLE tank = CreatePropellantResource(500);
    THRUSTER_HANDLE main = CreateThruster(_V(0, 0, -kArm), _V(0, 0, 1), 1000, tank, kIsp);
    CreateThrusterGroup(&main, 1, THGROUP_MAIN);
    AddExhaust(main, 2, 0.2);
    // each couple: a thruster ahead and one behind (or right and left) pushing opposite ways
    Couple(tank, _V(0, 0, kArm), _V(0, 1, 0), THGROUP_ATT_PITCHUP);
    Couple(tank, _V(0, 0, kArm), _V(0, -1, 0), THGROUP_ATT_PITCHDOWN);
    Couple(tank, _V(0, 0, kArm), _V(-1, 0, 0), THGROUP_ATT_YAWLEFT);
    Couple(tank, _V(0, 0, kArm), _V(1, 0, 0), THGROUP_ATT_YAWRIGHT);
    Couple(tank, _V(kArm, 0, 0), _V(0, -1, 0), THGROUP_ATT_BANKRIGHT);
    Couple(tank, _V(kArm, 0, 0), _V(0, 1, 0), THGROUP_ATT_BANKLEFT);
    CreateAttachment(false, _V(0, 0, 3), _V(0, 0, 1), _V(0, 1, 0), "RC");
    CreateAttachment(true, _V(0, 0, -3), _V(0, 0, -1), _V(0, 1, 0), "RP");
  }

 private:
  void Couple(PROPELLANT_HANDLE tank, const VECTOR3& pos, const VECTOR3& dir, THGROUP_TYPE type) {
    THRUSTER_HANDLE th[2] = {CreateThruster(pos, dir, kThrust, tank, kIsp),
                             CreateThruster(-pos, -dir, kThrust, tank, kIsp)};
    CreateThrusterGroup(th, 2, type);
  }
};

}  // namespace

QUARN_VESSEL_MODULE(physics_rig)

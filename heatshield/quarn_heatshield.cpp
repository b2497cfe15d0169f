#include "quarn_heatshield.h"

#include "module_frame.h"

namespace {

// Three points on a circle of 2 m in the x-y plane, 0.2 m along +z (the
// heat-shield side).
const TOUCHDOWNVTX touchdown_points[3] = {
    {{0, 2, 0.2}, 10000, 10000, 0.5, 0.5},
    {{-1.732, -1, 0.2}, 10000, 10000, 0.5, 0.5},
    {{1.732, -1, 0.2}, 10000, 10000, 0.5, 0.5},
};

} // namespace

quarn_heatshield::quarn_heatshield(OBJHANDLE hvessel, int flightmodel)
    : VESSEL3(hvessel, flightmodel) {}

void quarn_heatshield::clbkSetClassCaps(FILEHANDLE) {
  SetEmptyMass(80.0);
  SetCW(2, 2, 1, 1);
  SetRotDrag(_V(2, 2, 2));
  SetPMI(_V(1, 1, 2));
  SetCrossSections(_V(1, 1, 3));
  SetSize(2.0);
  UINT mesh = AddMesh("QUARN/quarn_htshld");
  SetMeshVisibilityMode(mesh, MESHVIS_EXTERNAL);
  SetCameraOffset(_V(0, 0, 0));
  SetTouchdownPoints(touchdown_points, 3);
}

void quarn_heatshield::clbkPostCreation() {}

void quarn_heatshield::clbkPreStep(double, double, double) { Idle(); }

void quarn_heatshield::clbkPostStep(double, double, double) { Idle(); }

// The heat shield has nothing to do at a step: pre- and post-step share this
// empty operation.
void quarn_heatshield::Idle() {}

QUARN_VESSEL_MODULE(quarn_heatshield)

// The capsule release: the capsule becomes a vessel of its own just ahead of the bus, drifting
// away slowly and spinning, and the bus sheds its mass and its back-shell mesh.
#include "quarn_bus.h"

namespace {

constexpr const char* kCapsuleName = "KTX_Capsule";
constexpr const char* kCapsuleClass = "QUARN/quarn_edl_capsule";
// Separation velocity in bus coordinates, and the spin added about the third axis.
constexpr VECTOR3 kSeparationVelocity = {0, 0, 0.37};  // m/s
constexpr double kSeparationSpin = 15 * kDegToRad;     // rad/s
constexpr int kFreeFlight = 0;

}  // namespace

void quarn_bus::JettisonCapsule() {
  VESSELSTATUS vs;
  GetStatus(vs);
  Local2Rel(capsule_offset, vs.rpos);
  VECTOR3 dv;
  GlobalRot(kSeparationVelocity, dv);
  vs.rvel += dv;
  vs.status = kFreeFlight;
  vs.vrot.z += kSeparationSpin;

  // A capsule the host could not create is still aboard: the bus keeps its mass and mesh, and
  // the key may try again.
  if (!oapiCreateVessel(kCapsuleName, kCapsuleClass, vs)) return;

  capsule_released = 1;
  UpdateEmptyMass();
  DelMesh(kBackShellMesh);
}

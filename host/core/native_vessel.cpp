#include "native_vessel.h"

#include <vector>

namespace host {

namespace {

// A vessel whose class file is its whole definition: a plain launcher or a passive body.
class NativeVessel : public VESSEL2 {
 public:
  NativeVessel(OBJHANDLE hvessel, const ClassConfig& config) : VESSEL2(hvessel, 1), config_(config) {}

  void clbkSetClassCaps(FILEHANDLE) override {
    SetEmptyMass(config_.empty_mass);
    SetSize(config_.size);
    SetPMI(config_.pmi);
    SetCrossSections(config_.cross_sections);
    SetCW(config_.cw, config_.cw, config_.cw, config_.cw);

    PROPELLANT_HANDLE tank = config_.propellant > 0 ? CreatePropellantResource(config_.propellant) : nullptr;
    std::vector<THRUSTER_HANDLE> main;
    for (const NativeThruster& t : config_.main_thrusters)
      main.push_back(CreateThruster(t.pos, t.dir, t.max_thrust, tank, t.isp));
    if (!main.empty()) CreateThrusterGroup(main.data(), static_cast<int>(main.size()), THGROUP_MAIN);

    for (const NativeAttachment& a : config_.attachments)
      CreateAttachment(a.toparent, a.pos, a.dir, a.rot, a.id.c_str());

    if (config_.touchdown.size() == 3)
      SetTouchdownPoints(config_.touchdown[0], config_.touchdown[1], config_.touchdown[2]);
  }

 private:
  ClassConfig config_;
};

}  // namespace

VESSEL2* CreateNativeVessel(OBJHANDLE hvessel, const ClassConfig& config) { return new NativeVessel(hvessel, config); }

void DestroyNativeVessel(VESSEL* vessel) {
  // Only vessels made by CreateNativeVessel come here, and those are VESSEL2 objects.
  if (vessel) delete static_cast<NativeVessel*>(vessel);
}

}  // namespace host

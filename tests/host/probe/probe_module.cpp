// A test module that records every callback it receives, and does on request
// what modules do during a step: create and delete vessels.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "api.h"
#include "module_frame.h"

namespace {

std::string g_log;

class Probe : public VESSEL3 {
public:
  Probe(OBJHANDLE h, int fmodel) : VESSEL3(h, fmodel) {}
  ~Probe() override { Log("exit"); }

  void clbkSetClassCaps(FILEHANDLE) override {
    name_ = GetName();
    Log("setclasscaps");
    SetEmptyMass(100);
    CreatePropellantResource(10);
    CreateAttachment(false, _V(0, 0, 1), _V(0, 0, 1), _V(0, 1, 0), "P0");
    CreateAttachment(true, _V(0, 0, -1), _V(0, 0, -1), _V(0, 1, 0), "C0");
  }
  void clbkLoadStateEx(FILEHANDLE scn, void *status) override {
    Log("loadstate");
    VESSEL2::clbkLoadStateEx(scn, status);
  }
  void clbkPostCreation() override { Log("postcreation"); }
  void clbkPreStep(double, double, double) override {
    Log("prestep");
    if (name_ == "Maker" && !made_) {
      made_ = true;
      VESSELSTATUS vs;
      GetStatus(vs);
      oapiCreateVessel("Made", "test/probe", vs);
      if (OBJHANDLE victim = oapiGetVesselByName("Victim"))
        oapiDeleteVessel(victim);
    }
  }
  void clbkPostStep(double, double, double) override { Log("poststep"); }

private:
  void Log(const char *what) {
    g_log += name_;
    g_log += ':';
    g_log += what;
    g_log += ' ';
  }
  bool made_ = false;
  std::string name_;
};

} // namespace

QUARN_VESSEL_MODULE(Probe)

extern "C" {
QUARN_EXPORT const char *ProbeLog();
QUARN_EXPORT void ProbeClear();
QUARN_EXPORT void ExitModule(HINSTANCE);
}

extern "C" QUARN_EXPORT const char *ProbeLog() { return g_log.c_str(); }
extern "C" QUARN_EXPORT void ProbeClear() { g_log.clear(); }

// Exported so the load hook finds it; the path comes from the test's
// environment.
extern "C" QUARN_EXPORT void ExitModule(HINSTANCE) {
  if (const char *marker = std::getenv("QUARN_PROBE_EXIT_MARKER")) {
    if (FILE *f = std::fopen(marker, "w")) {
      std::fputs("unloaded\n", f);
      std::fclose(f);
    }
  }
}

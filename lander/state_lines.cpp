// The lander's scenario line: how far its descent has come.
#include "quarn_velquin.h"
#include "scenario_lines.h"

namespace {

constexpr int kKeys = 1;

}  // namespace

// "DSC": descent_state, burn_stage and stage_timer. The pulse cycle is not kept: a loaded lander
// starts it afresh in its on half.
void quarn_velquin::StateLines(frame::LineKey* keys) {
  keys[0] = {"DSC", 3, {frame::Int(descent_state), frame::Int(burn_stage), frame::Real(stage_timer)}};
}

void quarn_velquin::clbkSaveState(FILEHANDLE scn) {
  VESSEL3::clbkSaveState(scn);
  frame::LineKey keys[kKeys];
  StateLines(keys);
  frame::WriteScenarioLines(scn, keys, kKeys);
}

// The step logic picks the loaded values up from the first step; nothing to re-apply.
void quarn_velquin::clbkLoadStateEx(FILEHANDLE scn, void* status) {
  frame::LineKey keys[kKeys];
  StateLines(keys);
  frame::ReadScenarioLines(*this, scn, status, keys, kKeys);
}

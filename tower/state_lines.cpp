// The tower's scenario lines: state and position of each of its eleven moving parts.
#include "brakkatower.h"
#include "scenario_lines.h"

namespace {

const char* const kSectionKeys[kSections] = {"ET1", "ET2", "ET3", "ET4", "ET5", "ET6", "ET7", "ET8", "ET9"};

}  // namespace

// One "%d %0.4f" line per part, in the order TWR, MCH, ET1 to ET9.
void brakkatower::StateLines(frame::LineKey* keys) {
  keys[0] = {"TWR", 2, {frame::Int(twr_state), frame::Real(twr_pos)}};
  keys[1] = {"MCH", 2, {frame::Int(mch_state), frame::Real(mch_pos)}};
  for (int k = 0; k < kSections; ++k)
    keys[2 + k] = {kSectionKeys[k], 2, {frame::Int(et_state[k]), frame::Real(et_pos[k])}};
}

void brakkatower::clbkSaveState(FILEHANDLE scn) {
  VESSEL2::clbkSaveState(scn);
  frame::LineKey keys[kMovingParts];
  StateLines(keys);
  frame::WriteScenarioLines(scn, keys, kMovingParts);
}

void brakkatower::clbkLoadStateEx(FILEHANDLE scn, void* status) {
  frame::LineKey keys[kMovingParts];
  StateLines(keys);
  frame::ReadScenarioLines(*this, scn, status, keys, kMovingParts);

  // show every part where the scenario left it
  SetAnimation(anim_twr, twr_pos);
  SetAnimation(anim_mch, mch_pos);
  for (int k = 0; k < kSections; ++k) SetAnimation(anim_et[k], et_pos[k]);
}

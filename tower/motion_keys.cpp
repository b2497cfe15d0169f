// The tower's moving parts: key presses start, reverse, pause or resume a motion, and every
// post-step carries each moving part on at its rate and stops it at its end.
#include "brakkatower.h"

namespace {

// How a part moves: its rate and the meaning of its state numbers. A part at its start is
// state 0 in every rule.
struct MotionRule {
  double rate;      // position units per second
  int forward;      // moving toward the far end
  int backward;     // moving toward the start
  int far_end;      // at rest at the far end
  int states;       // number of known states; a key leaves any other value unchanged
  int key_next[6];  // state after a key press, by known state
};

// The tower travel pauses on a key press and resumes in the same direction.
constexpr MotionRule kTravel = {0.025, 1, 4, 3, 6, {1, 2, 1, 4, 5, 4}};
// The leaf mechanism and the sections reverse from where they stand.
constexpr MotionRule kSwing = {0.1, 1, 3, 2, 4, {1, 3, 3, 1}};

void ApplyKey(const MotionRule& rule, int& state) {
  if (state >= 0 && state < rule.states) state = rule.key_next[state];
}

// Advances a moving part by one step; true if it moved. The end tests are strict: a part that
// lands exactly on its end stops there one step later.
bool Advance(const MotionRule& rule, int& state, double& pos, double simdt) {
  if (state == rule.forward) {
    pos += rule.rate * simdt;
    if (pos > 1.0) {
      pos = 1.0;
      state = rule.far_end;
    }
    return true;
  }
  if (state == rule.backward) {
    pos -= rule.rate * simdt;
    if (pos < 0.0) {
      pos = 0.0;
      state = 0;
    }
    return true;
  }
  return false;
}

// Keys with Shift: keypad 1 to 9 move sections ET1 to ET9.
constexpr DWORD kSectionKeys[kSections] = {OAPI_KEY_NUMPAD1, OAPI_KEY_NUMPAD2, OAPI_KEY_NUMPAD3,
                                           OAPI_KEY_NUMPAD4, OAPI_KEY_NUMPAD5, OAPI_KEY_NUMPAD6,
                                           OAPI_KEY_NUMPAD7, OAPI_KEY_NUMPAD8, OAPI_KEY_NUMPAD9};

}  // namespace

void brakkatower::clbkPostStep(double, double simdt, double) {
  if (Advance(kTravel, twr_state, twr_pos, simdt)) SetAnimation(anim_twr, twr_pos);
  if (Advance(kSwing, mch_state, mch_pos, simdt)) SetAnimation(anim_mch, mch_pos);
  for (int k = 0; k < kSections; ++k)
    if (Advance(kSwing, et_state[k], et_pos[k], simdt)) SetAnimation(anim_et[k], et_pos[k]);
}

int brakkatower::clbkConsumeBufferedKey(DWORD key, bool down, char* kstate) {
  if (!down) return 0;
  bool shift = KEYDOWN(kstate, OAPI_KEY_LSHIFT) || KEYDOWN(kstate, OAPI_KEY_RSHIFT);
  if (!shift) {
    switch (key) {
      case OAPI_KEY_G:
        ApplyKey(kSwing, mch_state);
        return 1;
      case OAPI_KEY_K:
        ApplyKey(kTravel, twr_state);
        return 1;
      default:
        return 0;
    }
  }
  for (int k = 0; k < kSections; ++k) {
    if (key == kSectionKeys[k]) {
      ApplyKey(kSwing, et_state[k]);
      return 1;
    }
  }
  return 0;
}

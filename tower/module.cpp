// Module entry for the launch tower, and the callbacks it leaves empty.
#include "brakkatower.h"
#include "module_frame.h"

// Nothing to re-apply: the loaded animation states are pushed as the lines are read.
void brakkatower::clbkPostCreation() {}

QUARN_VESSEL_MODULE(brakkatower)

// Module entry for the lander, its airfoil constants, and the callbacks it leaves empty.
#include "airfoil_coefficients.h"
#include "module_frame.h"
#include "quarn_velquin.h"

// Neither airfoil lifts; both give a zero-lift drag of 0.1.
const frame::AirfoilConstants kAirfoilConstants = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0},
    0.1,
};

// Loaded state takes effect through the step logic: nothing to re-apply.
void quarn_velquin::clbkPostCreation() {}

void quarn_velquin::clbkPostStep(double, double, double) {}

QUARN_VESSEL_MODULE(quarn_velquin)

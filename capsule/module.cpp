// Module entry for the capsule, and its airfoil constants.
#include "airfoil_coefficients.h"
#include "module_frame.h"
#include "quarn_edl_capsule.h"

// Neither airfoil lifts; both give a zero-lift drag of 0.95.
const frame::AirfoilConstants kAirfoilConstants = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0},
    0.95,
};

QUARN_VESSEL_MODULE(quarn_edl_capsule)

// Module entry for the bus, and its airfoil constants.
#include "airfoil_coefficients.h"
#include "module_frame.h"
#include "quarn_bus.h"

// Neither airfoil lifts; both give a zero-lift drag of 0.95.
const frame::AirfoilConstants kAirfoilConstants = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0},
    0.95,
};

QUARN_VESSEL_MODULE(quarn_bus)

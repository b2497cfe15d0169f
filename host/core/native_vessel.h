// Host-native vessels: classes defined by their class file alone, without a
// module.
#pragma once

#include "class_config.h"
#include "vessel.h"

namespace host {

// A vessel object configured from its class file in clbkSetClassCaps.
VESSEL2 *CreateNativeVessel(OBJHANDLE hvessel, const ClassConfig &config);
void DestroyNativeVessel(VESSEL *vessel);

} // namespace host

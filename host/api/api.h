// Everything a vessel module sees of the host.
#pragma once

#include "oapi.h"
#include "platform.h"
#include "sketchpad.h"
#include "types.h"
#include "vessel.h"

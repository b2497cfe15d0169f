// Host functions a vessel module may call.
#pragma once

#include "types.h"

class VESSEL;

// Module frame support.
QUARN_HOSTAPI void InitLib(HINSTANCE module);
// Date text "Mmm dd yyyy" to an integer that orders dates (yyyymmdd); 0 if
// unreadable.
QUARN_HOSTAPI int Date2Int(const char *date);

// Simulation time.
QUARN_HOSTAPI double oapiGetSimTime();
QUARN_HOSTAPI double oapiGetSimStep();
QUARN_HOSTAPI double oapiGetSimMJD();

// Objects and vessels.
QUARN_HOSTAPI OBJHANDLE oapiGetObjectByName(const char *name);
QUARN_HOSTAPI void oapiGetGlobalPos(OBJHANDLE obj, VECTOR3 *pos);
QUARN_HOSTAPI void oapiGetGlobalVel(OBJHANDLE obj, VECTOR3 *vel);
QUARN_HOSTAPI OBJHANDLE oapiGetVesselByName(const char *name);
QUARN_HOSTAPI DWORD oapiGetVesselCount();
QUARN_HOSTAPI OBJHANDLE oapiGetVesselByIndex(int index);
QUARN_HOSTAPI VESSEL *oapiGetVesselInterface(OBJHANDLE vessel);
QUARN_HOSTAPI OBJHANDLE oapiCreateVessel(const char *name,
                                         const char *classname,
                                         const VESSELSTATUS &status);
QUARN_HOSTAPI bool oapiDeleteVessel(OBJHANDLE vessel,
                                    OBJHANDLE alt_camera_target = nullptr);
QUARN_HOSTAPI OBJHANDLE oapiSetFocusObject(OBJHANDLE vessel);
QUARN_HOSTAPI OBJHANDLE oapiGetFocusObject();
QUARN_HOSTAPI void oapiGetEngineStatus(OBJHANDLE vessel, ENGINESTATUS *status);

// Visuals.
QUARN_HOSTAPI SURFHANDLE oapiRegisterExhaustTexture(const char *name);

// Aerodynamic helper formulas.
// Induced drag coefficient cl^2 / (pi A e) of a wing with aspect ratio A and
// efficiency e.
QUARN_HOSTAPI double oapiGetInducedDrag(double cl, double A, double e);
// Wave drag coefficient: 0 below M1, rising as a cubic to cmax at M2, held to
// M3, then falling as cmax * sqrt((M3^2 - 1) / (M^2 - 1)).
QUARN_HOSTAPI double oapiGetWaveDrag(double M, double M1, double M2, double M3,
                                     double cmax);

// Scenario files: the block of the vessel being loaded, one line at a time.
QUARN_HOSTAPI bool oapiReadScenario_nextline(FILEHANDLE scn, char *&line);
QUARN_HOSTAPI void oapiWriteScenario_string(FILEHANDLE scn, const char *item,
                                            const char *string);
QUARN_HOSTAPI void oapiWriteScenario_int(FILEHANDLE scn, const char *item,
                                         int value);
QUARN_HOSTAPI void oapiWriteScenario_float(FILEHANDLE scn, const char *item,
                                           double value);
QUARN_HOSTAPI void oapiWriteScenario_vec(FILEHANDLE scn, const char *item,
                                         const VECTOR3 &value);

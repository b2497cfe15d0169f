// The jettisoned heat shield: a passive vessel that falls and comes to rest.
#pragma once

#include "api.h"

class quarn_heatshield : public VESSEL3 {
public:
  quarn_heatshield(OBJHANDLE hvessel, int flightmodel);

  void clbkSetClassCaps(FILEHANDLE cfg) override;
  void clbkPostCreation() override;
  void clbkPreStep(double simt, double simdt, double mjd) override;
  void clbkPostStep(double simt, double simdt, double mjd) override;

private:
  void Idle();
};

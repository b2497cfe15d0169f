// The vessel interface: VESSEL (operations on the host's vessel), and the
// callback classes VESSEL2 and VESSEL3 that modules derive from.
//
// Every operation takes effect at once and may be repeated at any step. Handles
// returned by the set-up operations belong to the vessel and stay valid for its
// lifetime. Nothing here throws; a call with a handle the vessel does not own
// is ignored (and reported by the host).
#pragma once

#include "sketchpad.h"
#include "types.h"

class QUARN_HOSTAPI VESSEL {
public:
  VESSEL(OBJHANDLE hVessel, int fmodel = 1);
  VESSEL(const VESSEL &) = delete;
  VESSEL &operator=(const VESSEL &) = delete;

  // Identity.
  OBJHANDLE GetHandle() const;
  const char *GetName() const;
  const char *GetClassName() const;
  int GetFlightModel() const;
  int Version() const; // 1 plain, 2 VESSEL2, 3 VESSEL3

  // Physical set-up.
  void SetSize(double size) const; // mean radius, m
  double GetSize() const;
  void SetEmptyMass(double mass) const;
  double GetEmptyMass() const;
  void SetPMI(const VECTOR3 &pmi)
      const; // principal moments of inertia per unit mass, m^2
  void GetPMI(VECTOR3 &pmi) const;
  void SetCW(double cw_z_pos, double cw_z_neg, double cw_x, double cw_y) const;
  void SetRotDrag(const VECTOR3 &rd) const;
  void SetCrossSections(
      const VECTOR3 &cs) const; // areas projected along x, y, z, m^2
  void SetCameraOffset(const VECTOR3 &co) const;
  void SetTouchdownPoints(const VECTOR3 &pt1, const VECTOR3 &pt2,
                          const VECTOR3 &pt3) const;
  void SetTouchdownPoints(const TOUCHDOWNVTX *tdvtx, DWORD ntdvtx) const;
  void SetSurfaceFrictionCoeff(double mu_lng, double mu_lat) const;
  void SetDockParams(const VECTOR3 &pos, const VECTOR3 &dir,
                     const VECTOR3 &rot) const;
  void SetPitchMomentScale(double scale) const;
  void SetBankMomentScale(double scale) const;

  // Meshes: indices 0, 1, 2 ... in the order of adding.
  UINT AddMesh(const char *meshname, const VECTOR3 *ofs = nullptr) const;
  bool DelMesh(UINT idx, bool retain_anim = false) const;
  bool SetMeshVisibilityMode(UINT idx, WORD mode) const;

  // Animations. The transform records stay the module's and must outlive the
  // animation.
  UINT CreateAnimation(double initial_state) const;
  ANIMATIONCOMPONENT_HANDLE
  AddAnimationComponent(UINT anim, double state0, double state1,
                        MGROUP_TRANSFORM *trans,
                        ANIMATIONCOMPONENT_HANDLE parent = nullptr) const;
  bool SetAnimation(UINT anim, double state) const;
  double GetAnimation(UINT anim) const;

  // Propellant.
  PROPELLANT_HANDLE CreatePropellantResource(double maxmass, double mass = -1.0,
                                             double efficiency = 1.0) const;
  PROPELLANT_HANDLE GetPropellantHandleByIndex(DWORD idx) const;
  DWORD GetPropellantCount() const;
  double GetPropellantMaxMass(PROPELLANT_HANDLE ph) const;
  double GetPropellantMass(PROPELLANT_HANDLE ph) const;
  void SetPropellantMass(PROPELLANT_HANDLE ph, double mass) const;
  double GetTotalPropellantMass() const;

  // Thrusters, groups, exhausts and particle streams.
  THRUSTER_HANDLE CreateThruster(const VECTOR3 &pos, const VECTOR3 &dir,
                                 double maxth0, PROPELLANT_HANDLE hp = nullptr,
                                 double isp0 = 0.0, double isp_ref = 0.0,
                                 double p_ref = 101400.0) const;
  DWORD GetThrusterCount() const;
  THRUSTER_HANDLE GetThrusterHandleByIndex(DWORD idx) const;
  THGROUP_HANDLE CreateThrusterGroup(THRUSTER_HANDLE *th, int nth,
                                     THGROUP_TYPE type) const;
  void SetThrusterLevel(THRUSTER_HANDLE th, double level) const;
  double GetThrusterLevel(THRUSTER_HANDLE th) const;
  void SetThrusterGroupLevel(THGROUP_TYPE type, double level) const;
  double GetThrusterGroupLevel(THGROUP_TYPE type) const;
  UINT AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale,
                  SURFHANDLE tex = nullptr) const;
  UINT AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale,
                  const VECTOR3 &pos, const VECTOR3 &dir,
                  SURFHANDLE tex = nullptr) const;
  PSTREAM_HANDLE AddExhaustStream(THRUSTER_HANDLE th,
                                  PARTICLESTREAMSPEC *pss = nullptr) const;
  // The host reads *lvl every frame: the pointer must stay valid while the
  // vessel exists.
  PSTREAM_HANDLE AddParticleStream(PARTICLESTREAMSPEC *pss, const VECTOR3 &pos,
                                   const VECTOR3 &dir, double *lvl) const;

  // Aerodynamics.
  AIRFOILHANDLE CreateAirfoil3(AIRFOIL_ORIENTATION align, const VECTOR3 &ref,
                               AirfoilCoeffFuncEx cf, void *context, double c,
                               double S, double A) const;
  bool EditAirfoil(AIRFOILHANDLE hAirfoil, DWORD flag, const VECTOR3 &ref,
                   AirfoilCoeffFuncEx cf, double c, double S, double A) const;

  // Attachments.
  ATTACHMENTHANDLE CreateAttachment(bool toparent, const VECTOR3 &pos,
                                    const VECTOR3 &dir, const VECTOR3 &rot,
                                    const char *id, bool loose = false) const;
  DWORD AttachmentCount(bool toparent) const;
  ATTACHMENTHANDLE GetAttachmentHandle(bool toparent, DWORD i) const;
  const char *GetAttachmentId(ATTACHMENTHANDLE attachment) const;
  void GetAttachmentParams(ATTACHMENTHANDLE attachment, VECTOR3 &pos,
                           VECTOR3 &dir, VECTOR3 &rot) const;
  OBJHANDLE GetAttachmentStatus(ATTACHMENTHANDLE attachment) const;
  bool AttachChild(OBJHANDLE child, ATTACHMENTHANDLE attachment,
                   ATTACHMENTHANDLE child_attachment) const;
  bool DetachChild(ATTACHMENTHANDLE attachment, double vel = 0.0) const;

  // State.
  void GetStatus(VESSELSTATUS &status) const;
  double GetMass() const;
  void GetGlobalPos(VECTOR3 &pos) const;
  void GetGlobalVel(VECTOR3 &vel) const;
  void GetRotationMatrix(MATRIX3 &R) const; // vessel to global axes
  void Local2Global(const VECTOR3 &local, VECTOR3 &global) const;
  void Global2Local(const VECTOR3 &global, VECTOR3 &local) const;
  void Local2Rel(const VECTOR3 &local,
                 VECTOR3 &rel) const; // relative to the reference body
  void GlobalRot(const VECTOR3 &local, VECTOR3 &global) const;
  void GetAngularVel(VECTOR3 &avel) const; // vessel frame, rad/s
  void SetAngularVel(const VECTOR3 &avel) const;
  OBJHANDLE GetGravityRef() const;
  OBJHANDLE GetSurfaceRef() const;
  double GetAltitude(AltitudeMode mode = ALTMODE_MEANRAD,
                     int *reslvl = nullptr) const;
  double GetAirspeed() const;
  bool GetAirspeedVector(REFFRAME frame, VECTOR3 &v) const;
  bool GetGroundspeedVector(REFFRAME frame, VECTOR3 &v) const;
  double GetAtmDensity() const;
  double GetDynPressure() const;
  double GetMachNumber() const;
  double GetDrag() const;
  bool GetWeightVector(VECTOR3 &G) const;
  double GetPitch() const;
  double GetBank() const;
  bool GroundContact() const;

  // Navigation modes.
  bool ActivateNavmode(int mode) const;
  bool DeactivateNavmode(int mode) const;
  bool GetNavmodeState(int mode) const;

  // Scenario: reads one of the host's standard vessel lines into the status
  // record.
  bool ParseScenarioLineEx(char *line, void *status) const;

protected:
  ~VESSEL() = default; // objects are destroyed through their module's ovcExit
  int version_ = 1;

private:
  OBJHANDLE vessel_;
  int flight_model_;
};

class QUARN_HOSTAPI VESSEL2 : public VESSEL {
public:
  VESSEL2(OBJHANDLE hVessel, int fmodel = 1);

  // Callbacks in slot order. Unused slots are reserved so that the numbering
  // stays stable.
  virtual void clbkSetClassCaps(FILEHANDLE cfg); // 0
  virtual void clbkSaveState(FILEHANDLE scn);    // 1: writes the standard lines
  virtual void clbkLoadStateEx(FILEHANDLE scn,
                               void *status); // 2: standard lines only
  virtual void clbkReserved3();               // 3
  virtual void clbkPostCreation();            // 4
  virtual void clbkFocusChanged(bool getfocus, OBJHANDLE hNew,
                                OBJHANDLE hOld);                          // 5
  virtual void clbkPreStep(double simt, double simdt, double mjd);        // 6
  virtual void clbkPostStep(double simt, double simdt, double mjd);       // 7
  virtual void clbkReserved8();                                           // 8
  virtual void clbkReserved9();                                           // 9
  virtual void clbkReserved10();                                          // 10
  virtual void clbkReserved11();                                          // 11
  virtual void clbkReserved12();                                          // 12
  virtual void clbkReserved13();                                          // 13
  virtual void clbkReserved14();                                          // 14
  virtual void clbkReserved15();                                          // 15
  virtual void clbkNavMode(int mode, bool active);                        // 16
  virtual void clbkReserved17();                                          // 17
  virtual void clbkReserved18();                                          // 18
  virtual int clbkConsumeDirectKey(char *kstate);                         // 19
  virtual int clbkConsumeBufferedKey(DWORD key, bool down, char *kstate); // 20
  virtual void clbkReserved21();                                          // 21
  virtual void clbkReserved22();                                          // 22
  virtual void clbkReserved23();                                          // 23
  virtual void clbkReserved24();                                          // 24
  virtual void clbkReserved25();                                          // 25
  virtual void clbkReserved26();                                          // 26
  virtual void clbkReserved27();                                          // 27

  virtual ~VESSEL2();
};

class QUARN_HOSTAPI VESSEL3 : public VESSEL2 {
public:
  VESSEL3(OBJHANDLE hVessel, int fmodel = 1);

  virtual void clbkReserved28(); // 28
  virtual void clbkReserved29(); // 29
  virtual void clbkReserved30(); // 30
  virtual void clbkReserved31(); // 31
  virtual bool clbkDrawHUD(int mode, const HUDPAINTSPEC *hps,
                           oapi::Sketchpad *skp); // 32

  ~VESSEL3() override;
};

#pragma once
// The plain reference of the effect's signal path: one frame at a time, in the order the chain
// is defined, with every coefficient computed at every frame, the anti-alias history cleared
// and run in full at every frame, the selectors and gains read from the parameters at every
// frame, and the saturation curves written out term by term. The effect's block-dispatched
// path must match it to the bit. It keeps its own filter state; it only reads the plug-in's
// parameters and sample rate.

#include <vector>

#include "Brelix.h"
#include "V76300.h"
#include "V763k.h"
#include "V7680.h"
#include "V7680300.h"
#include "V76F.h"
#include "WDL_BesselFilter.h"

// F(d) of a MODEL (0-10), each power a repeated product, terms summed in the order written.
double ReferenceCurve(int model, double d);

class BrelixReference
{
public:
  explicit BrelixReference(const IPlugBase& params) : mPlug(params) {}

  // Processes a block; inputs and outputs may share memory. Every meter value that the effect
  // would send to its editor is appended to meterSent when it is given.
  void Process(double** inputs, double** outputs, int nFrames, std::vector<double>* meterSent = nullptr);

  double meter = 0.0;
  double sat[2] = {}, hp[2] = {}, lp[2] = {};
  WDL_BesselFilterCoeffs antiAlias[2];
  double antiAliasHist[2][9] = {};
  V76F output[2];
  V763k shelf[2];
  V7680 hp80[2];
  V76300 hp300[2];
  V7680300 hp80300[2];

private:
  const IPlugBase& mPlug;
};

#pragma once
// V763k: preamp filter model of order 1:
// the 3 kHz high-frequency shelf of LPF 1; runs at the sample rate (Calc(fs)).
// First-order shelf: gain 1 at DC, 0.3846 at the Nyquist frequency at every rate.

#include "PreampFilter.h"

// Columns r, constant.
inline constexpr PreampFilterModel kV763kModel = {
  1, 1, false,
  {{1.79558011049724e-05, 0.138121546961326},
   {-1.79558011049724e-05, 0.138121546961326}},
  {{6.9060773480663e-06, 0.138121546961326},
   {-6.9060773480663e-06, 0.138121546961326}}};

using V763k = PreampFilter<kV763kModel>;

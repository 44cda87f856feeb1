#include "BrelixCurves.h"

double BrelixCurveAt(int model, double d)
{
  switch (model < 0 ? 0 : (model >= kBrelixNumModels ? kBrelixNumModels - 1 : model))
  {
    case 0: return BrelixCurve<0>(d);
    case 1: return BrelixCurve<1>(d);
    case 2: return BrelixCurve<2>(d);
    case 3: return BrelixCurve<3>(d);
    case 4: return BrelixCurve<4>(d);
    case 5: return BrelixCurve<5>(d);
    case 6: return BrelixCurve<6>(d);
    case 7: return BrelixCurve<7>(d);
    case 8: return BrelixCurve<8>(d);
    case 9: return BrelixCurve<9>(d);
    default: return BrelixCurve<10>(d);
  }
}

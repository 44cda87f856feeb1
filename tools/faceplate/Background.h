#pragma once
// The faceplate (image 102): enamel, corner screws, the printed scales and legends around every
// control position, the titles, and the maker's and product's names.

#include "Surface.h"

namespace faceplate
{

Surface DrawBackground();

}  // namespace faceplate

#pragma once
// Lighter and darker shades of a colour, for the artwork's shading: the value (of hue,
// saturation and value) times factor / 100, or divided by it. A lighter shade that runs past
// full value loses saturation instead, so white is where every colour ends up.

#include "forms/units.h"

namespace tw {

forms::Colour lighterShade(forms::Colour colour, int factor);  // factor >= 100
forms::Colour darkerShade(forms::Colour colour, int factor);   // factor >= 100

}  // namespace tw

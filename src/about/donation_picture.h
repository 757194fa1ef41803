#pragma once
// A plain "Donate" button picture for an about box that was given none. Needs the window
// system to be up.

#include "forms/picture.h"

namespace tw {

forms::Picture plainDonationPicture();  // 62 x 31

}  // namespace tw

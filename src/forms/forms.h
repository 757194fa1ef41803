#pragma once
// The whole window system in one include: forms, controls in twips, control arrays,
// timers, popup menus, pictures and the application-wide set-up.

#include "forms/application.h"
#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/combo_box.h"
#include "forms/control.h"
#include "forms/control_array.h"
#include "forms/form.h"
#include "forms/frame.h"
#include "forms/image.h"
#include "forms/label.h"
#include "forms/menu.h"
#include "forms/picture.h"
#include "forms/scroll_bar.h"
#include "forms/shape.h"
#include "forms/text_box.h"
#include "forms/timer.h"
#include "forms/units.h"

// Every toolkit item class and the panel operations, for the code that builds panels.
#pragma once
#include "toolkit/button.h"
#include "toolkit/label.h"
#include "toolkit/layout.h"
#include "toolkit/message.h"
#include "toolkit/objet.h"
#include "toolkit/panel_walkers.h"
#include "toolkit/slider.h"
#include "toolkit/sprite.h"
#include "toolkit/sprite_registry.h"

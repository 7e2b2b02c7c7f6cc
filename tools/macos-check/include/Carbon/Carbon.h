// Stand-in for the Carbon umbrella; the adapters use only HIToolbox's
// text input sources, secure event input and virtual key codes.
#pragma once

#include <ApplicationServices/ApplicationServices.h>
#include <HIToolbox/HIToolbox.h>

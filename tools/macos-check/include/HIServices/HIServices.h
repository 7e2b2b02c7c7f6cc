// Stand-in for the HIServices umbrella: the Accessibility client interface.
#pragma once

#include <HIServices/AXUIElement.h>

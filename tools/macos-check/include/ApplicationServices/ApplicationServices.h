// Stand-in for the ApplicationServices umbrella: Quartz events and the
// Accessibility client interface over Core Foundation.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>
#include <HIServices/HIServices.h>

// Stand-in for the HIToolbox umbrella.
#pragma once

#include <HIToolbox/CarbonEventsCore.h>
#include <HIToolbox/Events.h>
#include <HIToolbox/TextInputSources.h>

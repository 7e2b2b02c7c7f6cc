// AppKit members of the macOS SDK that GNUstep lacks, one file per group of
// adapters.
#pragma once

#include <vanto_check/appkit_events.h>
#include <vanto_check/appkit_services.h>
#include <vanto_check/appkit_shell.h>
#include <vanto_check/appkit_ui.h>

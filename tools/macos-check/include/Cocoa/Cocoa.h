// Stand-in for the Cocoa umbrella: Foundation and AppKit.
#pragma once

#include <AppKit/AppKit.h>
#include <Foundation/Foundation.h>

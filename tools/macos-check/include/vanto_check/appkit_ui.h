// AppKit additions for the ui adapters.
#pragma once

// Additions for the events adapters.
#pragma once

// Additions for the shell adapters.
#pragma once

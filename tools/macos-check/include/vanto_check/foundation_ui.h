// Foundation additions for the ui adapters.
#pragma once

// Foundation additions for the events adapters.
#pragma once

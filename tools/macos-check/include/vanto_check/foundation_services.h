// Foundation additions for the services adapters.
#pragma once

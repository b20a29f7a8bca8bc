#include "app/TamselApp.h"

// The one application object, constructed before the entry point runs.
CTamselApp theApp;

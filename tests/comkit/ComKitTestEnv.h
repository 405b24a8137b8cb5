// Shared set-up of the control tests: the test library is registered for the run and unregistered after.
#pragma once
#include "tests/comkit/Regsvr32.h"
#include <windows.h>

#pragma once

#include <windows.h>

// The click of Command1: reads Form1, forms the three arguments and makes
// one call of PlayDTMF. Throws ClickFailure for what the user can mend.
void RunDialCommand(HWND form);

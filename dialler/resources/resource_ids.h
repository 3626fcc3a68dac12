#pragma once
// Resource identifiers shared by the resource script and the code.

#define IDI_APPLICATION_ICON 1

// Messages shown when a dial fails.
#define IDS_INTERVAL_NOT_A_NUMBER 101
#define IDS_INTERVAL_OUT_OF_RANGE 102
#define IDS_LIBRARY_NOT_FOUND 103
#define IDS_LIBRARY_NOT_LOADABLE 104
#define IDS_LIBRARY_WRONG_ARCHITECTURE 105
#define IDS_ENTRY_MISSING 106
#define IDS_OUT_OF_MEMORY 107
#define IDS_UNEXPECTED_FAILURE 108

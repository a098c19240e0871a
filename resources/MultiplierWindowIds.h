#pragma once
// Resource numbers of the multiplier window, shared by its .rc file and the code.

#define IDD_MULTIPLIER_WINDOW 104
#define IDI_MULTIPLIER_WINDOW 106
#define IDC_MULTIPLIER_LIST 1019

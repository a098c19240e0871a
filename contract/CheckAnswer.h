#pragma once
// What CheckCall0 answers about a call at a band, mode and moment: the plug-in computes
// it, the host reads it. Both sides name the values from here so they cannot drift.

enum CheckAnswer {
    kRefused = 0,      // a QSO with this call, band and mode lies in the same tour
    kWorkedBefore = 1, // worked before, in another tour, band or mode
    kNewCall = 2,      // never worked
};

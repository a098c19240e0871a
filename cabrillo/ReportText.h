#pragma once
// Text rules of the Cabrillo report: replacing, the file name's stem, and the writer
// form of the multi-line header fields (address, soapbox).
//
// Those fields have three forms: stored (contract/SettingsText.h: one line in the
// settings file), edit (real line breaks, in the dialog) and writer (each line after the
// first carries its own tag: "\r\nADDRESS: ", ready to follow "ADDRESS: " in the file).

#include <string>

namespace cabrillo {

// Every occurrence of search in source, left to right and without overlap, replaced;
// the inserted text is never searched again. Equal search and replacement, or an empty
// search, give source unchanged.
std::string replaceAll(const std::string& source, const std::string& search,
                       const std::string& replacement);

// The Cabrillo file's stem from the own callsign: "/" and backslash become "_", blanks
// (blank, tab, CR, LF, VT, FF) at either end go, then the bytes Windows file names may
// not hold (< > : " | ? * and control bytes 1 to 31) become "_". Empty: "MOLTA". A stem
// whose part before the first "." is, once blanks and dots at its end are dropped, a
// reserved device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9, LPT1 to LPT9,
// any case) gets "_" at the end of that part, right before the first ".":
// "CON.X.Y" gives "CON_.X.Y", "NUL .X" gives "NUL _.X".
std::string fileBaseName(const std::string& ownCall);

// "<CR>" to "\r\n" + tag + ": ", then "<LF>" removed.
std::string storedToWriter(const std::string& stored, const std::string& tag);

} // namespace cabrillo

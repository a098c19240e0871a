#pragma once
// The settings file the plug-in shares with the host's folder and with korvane: where it
// is, and every key the plug-in reads or writes. Values are single lines; a text of
// several lines is stored with its breaks spelt "<CR><LF>" (see SettingsText.h).

namespace settings {

inline constexpr const char* kFile = "Plugins\\MOLTA.ini";
inline constexpr const char* kSection = "Settings";

namespace key {
// "1" or "0": alternates between resets, so that every other one opens the window.
inline constexpr const char* kStart = "Start";
// The score of the last summary.
inline constexpr const char* kClaimed = "Claimed";
// The multiplier window's last position on screen.
inline constexpr const char *kWindowX = "member_x", *kWindowY = "member_y";
// The Cabrillo header, as the operator last confirmed it (Address and SoapBox may hold
// several lines).
inline constexpr const char *kOperators = "Operators", *kName = "Name", *kAddress = "Address",
                            *kCategory = "Category", *kContest = "Contest", *kEmail = "Email",
                            *kClub = "Club", *kSoapBox = "SoapBox", *kLocation = "Location";
} // namespace key

} // namespace settings

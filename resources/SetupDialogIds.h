#ifndef KORVANE_SETUP_DIALOG_IDS_H
#define KORVANE_SETUP_DIALOG_IDS_H
// Resource numbers of the Cabrillo setup dialog, shared by SetupDialog.rc and the code.

#define IDD_CABRILLO_SETUP 101

#define IDC_SOAPBOX 1001
#define IDC_ADDRESS 1002
#define IDC_EMAIL 1004
#define IDC_CLUB 1005
#define IDC_OPERATORS 1006
#define IDC_NAME 1007
#define IDC_CLAIMED 1008
#define IDC_CONTEST 1009
#define IDC_CALLSIGN 1010
#define IDC_CATEGORY_OPERATOR 1013
#define IDC_CATEGORY_BAND 1014
#define IDC_CATEGORY_POWER 1015
#define IDC_CATEGORY_OVERLAY 1016
#define IDC_LOCATION 1018

#ifndef RC_INVOKED
// The combo box lists of the template, in the order the boxes show them: their one copy.
// The Windows build writes them into the template's initialisation data (SetupDialog.rc,
// by SetupDialogInit.cmake, which reads one {IDC_NAME, "TEXT"} entry after another: no
// quotes or backslashes in a text); the headless dialog, which has no templates, takes
// them from here.
struct SetupDialogListEntry {
    int controlId;
    const char* text;
};
inline constexpr SetupDialogListEntry kSetupDialogLists[] = {
    {IDC_CATEGORY_OPERATOR, "SINGLE-OP"}, {IDC_CATEGORY_OPERATOR, "MULTI-OP"},
    {IDC_CATEGORY_OPERATOR, "VETERAN"},   {IDC_CATEGORY_OPERATOR, "INVALID"},
    {IDC_CATEGORY_BAND, "ALL"},           {IDC_CATEGORY_BAND, "160"},
    {IDC_CATEGORY_BAND, "80"},            {IDC_CATEGORY_POWER, "HIGH"},
    {IDC_CATEGORY_POWER, "LOW"},          {IDC_CATEGORY_OVERLAY, "MOST"},
    {IDC_CATEGORY_OVERLAY, "SO"},         {IDC_CATEGORY_OVERLAY, "SO160"},
    {IDC_CATEGORY_OVERLAY, "SO80"},
};
#endif

#endif

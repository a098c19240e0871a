#include "cabrillo/CabrilloSetupDialog.h"

#include "resources/SetupDialogIds.h"

using namespace platform::dialog;

CabrilloSetupDialog::CabrilloSetupDialog() : Dialog(IDD_CABRILLO_SETUP) {}

void CabrilloSetupDialog::answerUnattended() { postMessage(kCommand, makeCommand(kIdOk)); }

void CabrilloSetupDialog::exchangeData(DataExchange& dx)
{
    dx.text(IDC_CONTEST, contest);
    dx.text(IDC_CALLSIGN, callsign);
    dx.text(IDC_CLAIMED, claimed);
    dx.comboText(IDC_CATEGORY_OPERATOR, categoryOperator);
    dx.comboText(IDC_CATEGORY_BAND, categoryBand);
    dx.comboText(IDC_CATEGORY_POWER, categoryPower);
    dx.comboText(IDC_CATEGORY_OVERLAY, categoryOverlay);
    dx.text(IDC_LOCATION, location);
    dx.text(IDC_NAME, name);
    dx.text(IDC_ADDRESS, address);
    dx.text(IDC_OPERATORS, operators);
    dx.text(IDC_CLUB, club);
    dx.text(IDC_SOAPBOX, soapbox);
    dx.text(IDC_EMAIL, email);
}

std::vector<InitEntry> CabrilloSetupDialog::headlessInitData() const
{
    std::vector<InitEntry> entries;
    for (const SetupDialogListEntry& e : kSetupDialogLists)
        entries.push_back(InitEntry{e.controlId, e.text});
    return entries;
}

#pragma once
// The modal dialog (template 101) in which the operator confirms the Cabrillo header.
// It holds one text per bound control and does nothing beyond data exchange and the OK
// and CANCEL buttons of the base dialog.

#include "platform/Dialog.h"

#include <string>
#include <vector>

class CabrilloSetupDialog : public platform::dialog::Dialog {
public:
    CabrilloSetupDialog();

    std::string contest, callsign, claimed;
    std::string categoryOperator, categoryBand, categoryPower, categoryOverlay;
    std::string location, name, address, operators, club, soapbox, email;

    // Without an operator (headless), it confirms with what it holds: the values as loaded,
    // and whatever a stand-in host typed over them (contract/HeadlessInput.h).
    void answerUnattended() override;

protected:
    void exchangeData(platform::dialog::DataExchange& dx) override;
    std::vector<platform::dialog::InitEntry> headlessInitData() const override;
};

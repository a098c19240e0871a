// The header: settings keys, the setup dialog and the three forms of the multi-line fields.
#include "cabrillo/CabrilloReport.h"

#include "cabrillo/CabrilloSetupDialog.h"
#include "cabrillo/ReportText.h"
#include "contract/SettingsText.h"
#include "platform/SettingsFile.h"

namespace {

constexpr std::size_t kValueBufferBytes = 10000;

std::string readKey(const char* key, const std::string& defaultValue = std::string())
{
    return settings::read(key, defaultValue.c_str(), kValueBufferBytes);
}

// The texts the dialog shows; OK gives back all but the claimed score.
struct DialogField {
    std::string CabrilloReport::*report;
    std::string CabrilloSetupDialog::*dialog;
    bool givenBack;
};

const DialogField kDialogFields[] = {
    {&CabrilloReport::contest, &CabrilloSetupDialog::contest, true},
    {&CabrilloReport::callsign, &CabrilloSetupDialog::callsign, true},
    {&CabrilloReport::claimed, &CabrilloSetupDialog::claimed, false},
    {&CabrilloReport::categoryOperator, &CabrilloSetupDialog::categoryOperator, true},
    {&CabrilloReport::categoryBand, &CabrilloSetupDialog::categoryBand, true},
    {&CabrilloReport::categoryPower, &CabrilloSetupDialog::categoryPower, true},
    {&CabrilloReport::categoryOverlay, &CabrilloSetupDialog::categoryOverlay, true},
    {&CabrilloReport::location, &CabrilloSetupDialog::location, true},
    {&CabrilloReport::name, &CabrilloSetupDialog::name, true},
    {&CabrilloReport::address, &CabrilloSetupDialog::address, true},
    {&CabrilloReport::operators, &CabrilloSetupDialog::operators, true},
    {&CabrilloReport::club, &CabrilloSetupDialog::club, true},
    {&CabrilloReport::soapbox, &CabrilloSetupDialog::soapbox, true},
    {&CabrilloReport::email, &CabrilloSetupDialog::email, true},
};

} // namespace

void CabrilloReport::loadSettings()
{
    namespace key = settings::key;
    operators = readKey(key::kOperators, callsign);
    name = readKey(key::kName);
    address = settings::fromStored(readKey(key::kAddress));
    claimed = readKey(key::kClaimed);
    contest = "KORVANE";
    categoryOperator = "SINGLE-OP";
    categoryBand = "ALL";
    categoryPower = "HIGH";
    categoryOverlay = "WITHOUT USING";
    email = readKey(key::kEmail);
    club = readKey(key::kClub);
    soapbox = settings::fromStored(readKey(key::kSoapBox));
    location = readKey(key::kLocation);
}

void CabrilloReport::saveSettings() const
{
    // Each write stands alone; one that fails (no "Plugins" folder) changes nothing else.
    namespace key = settings::key;
    settings::write(key::kOperators, operators);
    settings::write(key::kName, name);
    settings::write(key::kAddress, address);
    settings::write(key::kCategory, categoryOperator);
    settings::write(key::kContest, contest);
    settings::write(key::kEmail, email);
    settings::write(key::kClub, club);
    settings::write(key::kSoapBox, soapbox);
    settings::write(key::kLocation, location);
}

int CabrilloReport::setupHeader(const std::string& ownCall, const COleDateTime&,
                                const COleDateTime&)
{
    callsign = ownCall;
    baseName = cabrillo::fileBaseName(ownCall);
    loadSettings();

    CabrilloSetupDialog dialog;
    for (const DialogField& field : kDialogFields)
        dialog.*field.dialog = this->*field.report;
    const bool confirmed = dialog.runModal() == platform::dialog::kIdOk;
    if (confirmed) {
        for (const DialogField& field : kDialogFields)
            if (field.givenBack)
                this->*field.report = dialog.*field.dialog;
    }
    address = settings::toStored(address);
    soapbox = settings::toStored(soapbox);
    if (confirmed)
        saveSettings();
    // Also after CANCEL: the summary writes the file whatever the dialog's end, and raw
    // line breaks there would stand as lines without a tag.
    address = cabrillo::storedToWriter(address, "ADDRESS");
    soapbox = cabrillo::storedToWriter(soapbox, "SOAPBOX");
    if (!confirmed)
        return 0;
    qsoLines.clear();
    return 1;
}

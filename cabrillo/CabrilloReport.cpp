// The header: settings keys, the setup dialog and the three forms of the multi-line fields.
#include "cabrillo/CabrilloReport.h"

#include "cabrillo/CabrilloSetupDialog.h"
#include "cabrillo/ReportText.h"
#include "platform/SettingsFile.h"

namespace {

constexpr std::size_t kValueBufferBytes = 10000;

std::string readKey(const char* key, const std::string& defaultValue = std::string())
{
    return settings::read(key, defaultValue.c_str(), kValueBufferBytes);
}

} // namespace

void CabrilloReport::loadSettings()
{
    operators = readKey("Operators", callsign);
    name = readKey("Name");
    address = cabrillo::storedToEdit(readKey("Address"));
    claimed = readKey("Claimed");
    contest = "KORVANE";
    categoryOperator = "SINGLE-OP";
    categoryBand = "ALL";
    categoryPower = "HIGH";
    categoryOverlay = "WITHOUT USING";
    email = readKey("Email");
    club = readKey("Club");
    soapbox = cabrillo::storedToEdit(readKey("SoapBox"));
    location = readKey("Location");
}

void CabrilloReport::saveSettings() const
{
    // Each write stands alone; one that fails (no "Plugins" folder) changes nothing else.
    settings::write("Operators", operators);
    settings::write("Name", name);
    settings::write("Address", address);
    settings::write("Category", categoryOperator);
    settings::write("Contest", contest);
    settings::write("Email", email);
    settings::write("Club", club);
    settings::write("SoapBox", soapbox);
    settings::write("Location", location);
}

int CabrilloReport::setupHeader(const std::string& ownCall, const COleDateTime&,
                                const COleDateTime&)
{
    callsign = ownCall;
    baseName = cabrillo::fileBaseName(ownCall);
    loadSettings();

    CabrilloSetupDialog dialog;
    dialog.contest = contest;
    dialog.callsign = ownCall;
    dialog.claimed = claimed;
    dialog.categoryOperator = categoryOperator;
    dialog.categoryBand = categoryBand;
    dialog.categoryPower = categoryPower;
    dialog.categoryOverlay = categoryOverlay;
    dialog.location = location;
    dialog.name = name;
    dialog.address = address;
    dialog.operators = operators;
    dialog.club = club;
    dialog.soapbox = soapbox;
    dialog.email = email;
    const bool confirmed = dialog.runModal() == platform::dialog::kIdOk;

    if (confirmed) {
        callsign = dialog.callsign;
        operators = dialog.operators;
        categoryOperator = dialog.categoryOperator;
        categoryBand = dialog.categoryBand;
        categoryPower = dialog.categoryPower;
        categoryOverlay = dialog.categoryOverlay;
        location = dialog.location;
        name = dialog.name;
        address = dialog.address;
        contest = dialog.contest;
        email = dialog.email;
        club = dialog.club;
        soapbox = dialog.soapbox;
    }
    address = cabrillo::editToStored(address);
    soapbox = cabrillo::editToStored(soapbox);
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

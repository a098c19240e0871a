#include "plugin/PluginApp.h"

#include "platform/Platform.h"
#include "platform/SettingsFile.h"
#include "plugin/LibraryExit.h"
#include "scoring/Summary.h"
#include "scoring/TourCheck.h"

#include <cstring>
#include <utility>

namespace {

constexpr unsigned kRefreshAfterCheckMs = 330;
constexpr std::size_t kStartBufferBytes = 100;

PluginApp app; // constructed at library load, destroyed at unload

void closeWindowOfTheLibrary() { app.window.closeAndWait(); }

// A process exit destroys the library's static objects while the window thread may still
// use them, and in the reverse order of their making: those built at load after the
// application object (the headless dialog backend's, which the window thread runs on) go
// before it and its window. So the window closes ahead of all of them, by a handler
// registered at the first start, once they are all built.
void closeBeforeStaticsGo(const PluginApp& starting)
{
    if (&starting != &app)
        return; // any other application object closes its window as it goes
    static const bool registered = (plugin::runBeforeStaticsGo(closeWindowOfTheLibrary), true);
    (void)registered;
}

} // namespace

PluginApp& pluginApp() { return app; }

int PluginApp::addData(QsoRecord record)
{
    // Either the QSO is in the log and its band listed, or neither changed: a band listed
    // for a QSO that never arrived would get a line of its own in every summary.
    const bool newBand = bands.addIfNew(record.band);
    try {
        log.add(std::move(record));
    } catch (...) {
        if (newBand)
            bands.removeLast();
        throw;
    }
    return 1;
}

int PluginApp::removeData(const std::string& call, const std::string& mode,
                            const std::string& band, const std::string& exchSent,
                            const std::string& exchReceived)
{
    if (exchReceived.empty() || exchSent.empty())
        return 0;
    log.removeFirst(call, mode, band);
    return 1;
}

int PluginApp::resetStats(int reportRequested, const std::string& ownCall,
                            const COleDateTime& start, const COleDateTime& end,
                            const std::string& listFilterSource)
{
    state.endDateText = formatOleDate(end, "%d.%m.%y");
    log.clear();
    bands.clear();
    state.reportRequested = reportRequested;
    state.ownCall = ownCall;
    state.listFilter = listFilterSource.substr(0, 2);

    if (state.reportRequested) {
        report.setupHeader(state.ownCall, start, end);
        settings::write(settings::key::kStart, "1");
    }
    // "Start" alternates between runs of the host, so that every other reset without a
    // report opens the window.
    state.startToggle = settings::parseDecimal(settings::read(settings::key::kStart, "", kStartBufferBytes));
    if (state.startToggle) {
        settings::write(settings::key::kStart, "0");
    } else if (!window.isOpen()) {
        closeBeforeStaticsGo(*this);
        window.start();
        settings::write(settings::key::kStart, "1");
    }
    return 1;
}

int PluginApp::checkCall(const std::string& call, const std::string& mode,
                           const std::string& band, char* messageBuffer)
{
    window.scheduleRefresh(kRefreshAfterCheckMs); // nothing without a window
    const int result =
        checkTour(log, call, band, mode, tourClock ? *tourClock : platform::ops().utcNow());
    if (result == kRefused && messageBuffer) {
        const std::string message = refusalMessage(call);
        std::memcpy(messageBuffer, message.c_str(), message.size() + 1);
    }
    return result;
}

const char* PluginApp::getResult(int* scoreOut)
{
    SummaryResult summary = buildSummary(bands, log, state);
    // Rebuilding the shared list costs a copy of every call and the window's lock; an
    // unchanged list (the same interned calls of the same log) is left as it is.
    if (summary.multiplierKeyIds != shownKeyIds_ || log.epoch() != shownEpoch_) {
        multipliers.rebuild(multiplierTexts(log, summary));
        shownKeyIds_ = std::move(summary.multiplierKeyIds);
        shownEpoch_ = log.epoch();
    }
    score = summary.score;
    if (scoreOut)
        *scoreOut = score;
    settings::write(settings::key::kClaimed, std::to_string(score));
    summaryText = std::move(summary.text);

    if (state.reportRequested) {
        for (const QsoRecord& r : log.records()) {
            report.addQsoLine(r.call, r.freqKHz, cabrilloModeCode(r.mode), r.qsoTime, r.rstSent,
                              r.exchSent, r.rstReceived, r.exchReceived);
        }
        const CabrilloReport::WriteOutcome outcome = report.writeLog(score);
        platform::ops().messageBox(outcome.text.c_str(), "Output",
                                   outcome.ok ? platform::BoxIcon::Information
                                              : platform::BoxIcon::Error,
                                   true);
        if (scoreOut)
            *scoreOut = -1;
    }
    return summaryText.c_str();
}

void PluginApp::unloading(bool processTerminating)
{
    if (processTerminating)
        window.abandon();
    else
        window.closeAndWait();
}

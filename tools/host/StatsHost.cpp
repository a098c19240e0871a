#include "tools/host/StatsHost.h"

#include <array>

namespace host {
namespace {

template <typename Fn>
bool resolve(const DynamicLibrary& lib, const ExportName& name, NameKind kind, Fn& out,
             std::string* error)
{
    const char* symbol = kind == NameKind::Plain ? name.plain : name.decorated;
    out = reinterpret_cast<Fn>(lib.find(symbol));
    if (!out && error)
        *error += std::string(error->empty() ? "" : ", ") + "missing export " + symbol;
    return out != nullptr;
}

int qsoCall(QsoDataFn fn, const Qso& q)
{
    static const COleDateTime kOther = makeOleDate(1999, 1, 1, 1, 1, 1);
    COleDateTime time = q.time;
    COleDateTime other1 = kOther, other2 = kOther, other3 = kOther;
    return fn("u1", q.call.c_str(), &time, &other1, &other2, &other3, 7007u, q.freqHz,
              q.mode.c_str(), q.rstSent.c_str(), q.rstReceived.c_str(), q.exchSent.c_str(),
              q.exchReceived.c_str(), "u14", "u15", "u16", "u17", "u18", "u19", "u20", "u21",
              "u22", "u23", 24, 25, 26, 27.5, 28.5, "u29", "u30", "u31", q.band.c_str(), "u33");
}

} // namespace

bool StatsHost::load(const std::string& path, NameKind names, std::string* error)
{
    std::string reasons;
    if (!library_.open(path)) {
        if (error)
            *error = library_.error();
        return false;
    }
    bool ok = resolve(library_, kAddData, names, addData, &reasons);
    ok &= resolve(library_, kRemoveData, names, removeData, &reasons);
    ok &= resolve(library_, kResetStats, names, resetStats, &reasons);
    ok &= resolve(library_, kCheckCall, names, checkCall, &reasons);
    ok &= resolve(library_, kGetResult, names, getResult, &reasons);
    ok &= resolve(library_, kGetNumberOfSets, names, getNumberOfSets, &reasons);
    ok &= resolve(library_, kGetSetName, names, getSetName, &reasons);
    ok &= resolve(library_, kSetupSet, names, setupSet, &reasons);
    ok &= resolve(library_, kGetExchgCount, names, getExchgCount, &reasons);
    ok &= resolve(library_, kIsValidExchg, names, isValidExchg, &reasons);
    if (!ok) {
        if (error)
            *error = reasons;
        library_.close();
    }
    return ok;
}

void StatsHost::unload() { library_.close(); }

int StatsHost::add(const Qso& qso) { return qsoCall(addData, qso); }

int StatsHost::remove(const Qso& qso) { return qsoCall(removeData, qso); }

int StatsHost::reset(int reportRequested, const std::string& ownCall, COleDateTime start,
                     COleDateTime end, const std::string& listFilter)
{
    return resetStats("u1", reportRequested, ownCall.c_str(), &start, &end, "u6", "u7", "u8",
                      "u9", listFilter.c_str(), "u11", "u12", "u13", "u14", "u15", 16, 17, 18,
                      19.5, 20.5, "u21", "u22", "u23");
}

int StatsHost::check(const std::string& call, const std::string& mode, const std::string& band,
                     std::string* message)
{
    // The host's buffers are of unknown size; the plug-in never writes past 256 bytes.
    std::array<char, 256> unused{}, buffer{};
    const int result = checkCall(call.c_str(), 2u, 3u, mode.c_str(), "u5", "u6", "u7", "u8",
                                 "u9", "u10", "u11", "u12", "u13", "u14", 15, 16, 17, 18.5, 19.5,
                                 "u20", "u21", "u22", "u23", "u24", band.c_str(), "u26",
                                 unused.data(), buffer.data());
    if (message)
        *message = buffer.data();
    return result;
}

std::string StatsHost::result(int* score)
{
    const char* text = getResult(score);
    return text ? std::string(text) : std::string();
}

} // namespace host

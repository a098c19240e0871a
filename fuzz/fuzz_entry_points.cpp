// The entry points driven by a byte stream that chooses the calls and their arguments:
// texts of any bytes and length, null pointers, dates that are NaN, infinite or out of
// range, any order of reset, add, remove, check and summary, with and without a report.
// After every step the summary's totals must equal the log's counts, the message buffer
// must not be written past its end, and nothing may escape as an exception.
#include "FuzzInput.h"
#include "platform/Platform.h"
#include "contract/HostContract.h"
#include "plugin/PluginApp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

extern "C" {
int AddData0(host::Text, host::Text, host::Date, host::Date, host::Date, host::Date, unsigned,
             unsigned, host::Text, host::Text, host::Text, host::Text, host::Text, host::Text,
             host::Text, host::Text, host::Text, host::Text, host::Text, host::Text, host::Text,
             host::Text, host::Text, int, int, int, double, double, host::Text, host::Text,
             host::Text, host::Text, host::Text);
int RemoveData0(host::Text, host::Text, host::Date, host::Date, host::Date, host::Date, unsigned,
                unsigned, host::Text, host::Text, host::Text, host::Text, host::Text, host::Text,
                host::Text, host::Text, host::Text, host::Text, host::Text, host::Text, host::Text,
                host::Text, host::Text, int, int, int, double, double, host::Text, host::Text,
                host::Text, host::Text, host::Text);
int ResetStats0(host::Text, int, host::Text, host::Date, host::Date, host::Text, host::Text,
                host::Text, host::Text, host::Text, host::Text, host::Text, host::Text,
                host::Text, host::Text, int, int, int, double, double, host::Text, host::Text,
                host::Text);
int CheckCall0(host::Text, unsigned, unsigned, host::Text, host::Text, host::Text, host::Text,
               host::Text, host::Text, host::Text, host::Text, host::Text, host::Text,
               host::Text, int, int, int, double, double, host::Text, host::Text, host::Text,
               host::Text, host::Text, host::Text, host::Text, char*, char*);
const char* GetResult0(int*);
}

namespace {

// Settings in memory: the fuzzer must not spend its time in the file system. "Start"
// always reads 1, so no reset opens the window and no thread outlives an input.
std::map<std::string, std::string> memorySettings;

std::size_t memoryRead(const char*, const char*, const char* key, const char* def, char* buffer,
                       std::size_t size)
{
    if (!buffer || size == 0)
        return 0;
    std::string value = std::string(key) == "Start" ? "1" : def ? def : "";
    const auto found = memorySettings.find(key);
    if (found != memorySettings.end() && std::string(key) != "Start")
        value = found->second;
    const std::size_t n = value.size() < size - 1 ? value.size() : size - 1;
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return n;
}

bool memoryWrite(const char*, const char*, const char* key, const char* value)
{
    memorySettings[key] = value ? value : "";
    return true;
}

void noBox(const char*, const char*, platform::BoxIcon, bool) {}

// Report files go nowhere: a write fails now and then, as a full disk would. The backend
// owns the file type, so a file here is only a distinct address.
char fileToken;
std::size_t fileCalls = 0;

platform::File* fileOpenInMemory(const char*, platform::FileAccess access, std::string* reason)
{
    if (++fileCalls % 7 == 0) {
        *reason = "injected failure";
        return nullptr;
    }
    (void)access;
    return reinterpret_cast<platform::File*>(&fileToken);
}

bool fileWriteInMemory(platform::File*, const char*, std::size_t, std::string* reason)
{
    if (++fileCalls % 11 == 0) {
        *reason = "disk full";
        return false;
    }
    return true;
}

long fileReadInMemory(platform::File*, char* buffer, std::size_t size, std::string*)
{
    static const char kExtra[] = "X-EXTRA: 1"; // an extra header without a line end
    if (size == 0 || fileCalls++ % 2)
        return 0;
    const std::size_t n = size < sizeof kExtra - 1 ? size : sizeof kExtra - 1;
    std::memcpy(buffer, kExtra, n);
    return static_cast<long>(n);
}

bool fileCloseInMemory(platform::File*, std::string*) { return true; }

CivilDateTime fuzzNow;
CivilDateTime fixedNow() { return fuzzNow; }

// A text argument as the host may pass it: null now and then.
struct MaybeText {
    std::string value;
    bool null;
    const char* get() const { return null ? nullptr : value.c_str(); }
};

MaybeText maybeText(FuzzInput& in)
{
    const bool null = in.byte() % 16 == 0;
    return MaybeText{in.text(), null};
}

COleDateTime date(FuzzInput& in)
{
    COleDateTime d;
    switch (in.byte() % 4) {
    case 0: d.value = in.f64(); break; // anything, NaN and infinities included
    case 1: d.value = 46000.0 + in.u32() % 2000 + (in.u32() % 86400) / 86400.0; break;
    case 2: d.value = -700000.0 + in.u32() % 3700000; break; // across the valid range
    default: d.value = in.f64(); break;
    }
    d.status = static_cast<std::int32_t>(in.byte() % 4);
    return d;
}

int totalFromSummary(const std::string& summary)
{
    // The last one: a band text or the own call may hold the same bytes, but nothing
    // after the total line can.
    const auto at = summary.rfind("\r\nTotal\t ");
    if (at == std::string::npos)
        std::abort();
    return std::atoi(summary.c_str() + at + 9);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool prepared = [] {
        const auto dir = std::filesystem::temp_directory_path() / "korvane-fuzz-entry";
        std::filesystem::create_directories(dir / "Plugins");
        std::filesystem::current_path(dir);
        platform::ops().profileRead = memoryRead;
        platform::ops().profileWrite = memoryWrite;
        platform::ops().messageBox = noBox;
        platform::ops().utcNow = fixedNow;
        platform::ops().fileOpen = fileOpenInMemory;
        platform::ops().fileWrite = fileWriteInMemory;
        platform::ops().fileRead = fileReadInMemory;
        platform::ops().fileClose = fileCloseInMemory;
        return true;
    }();
    (void)prepared;
    memorySettings.clear();

    FuzzInput in(data, size);
    const char* u = "unused";
    while (!in.empty()) {
        const std::uint8_t op = in.byte() % 5;
        if (op == 0) {
            const int report = in.byte() % 4 == 0; // reports write a file: keep them rare
            const MaybeText own = maybeText(in), filter = maybeText(in);
            COleDateTime start = date(in), end = date(in);
            const bool nullDates = in.byte() % 8 == 0;
            ResetStats0(u, report, own.get(), nullDates ? nullptr : &start,
                        nullDates ? nullptr : &end, u, u, u, u, filter.get(), u, u, u, u, u, 0,
                        0, 0, 0.0, 0.0, u, u, u);
        } else if (op == 1 || op == 2) {
            const MaybeText call = maybeText(in), mode = maybeText(in), band = maybeText(in),
                            sent = maybeText(in), received = maybeText(in);
            COleDateTime time = date(in);
            const unsigned freq = in.u32();
            auto fn = op == 1 ? AddData0 : RemoveData0;
            fn(u, call.get(), in.byte() % 8 ? &time : nullptr, nullptr, nullptr, nullptr, 0, freq,
               mode.get(), u, u, sent.get(), received.get(), u, u, u, u, u, u, u, u, u, u, 0, 0,
               0, 0.0, 0.0, u, u, u, band.get(), u);
        } else if (op == 3) {
            const MaybeText call = maybeText(in), mode = maybeText(in), band = maybeText(in);
            fuzzNow = CivilDateTime{2026, 12, 7, in.byte() % 24, in.byte() % 60, 0};
            // Exactly the 256 bytes the plug-in may fill: ASan reports any byte beyond.
            std::vector<char> message(256);
            const int result = CheckCall0(call.get(), 0, 0, mode.get(), u, u, u, u, u, u, u, u,
                                          u, u, 0, 0, 0, 0.0, 0.0, u, u, u, u, u, band.get(), u,
                                          nullptr, in.byte() % 8 ? message.data() : nullptr);
            if (result < 0 || result > 2)
                std::abort();
        } else {
            int score = 0;
            const char* summary = GetResult0(in.byte() % 8 ? &score : nullptr);
            if (!summary)
                std::abort();
            if (totalFromSummary(summary) != static_cast<int>(pluginApp().log.size()))
                std::abort(); // the total line must count every record of the log
        }
    }
    return 0;
}

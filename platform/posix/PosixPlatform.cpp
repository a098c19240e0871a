// The stand-in backend for Linux: profile files of our own, message boxes on stderr.
#include "platform/Platform.h"
#include "platform/Dialog.h"
#include "platform/posix/ProfileFile.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

namespace platform {
namespace {

void stderrMessageBox(const char* text, const char* caption, BoxIcon icon, bool)
{
    const char* kind = icon == BoxIcon::Error ? "error" : "message";
    std::fprintf(stderr, "[%s] %s: %s\n", kind, caption ? caption : "Error", text ? text : "");
}

UtcTime systemUtc()
{
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    UtcTime t;
    t.year = parts.tm_year + 1900;
    t.month = parts.tm_mon + 1;
    t.day = parts.tm_mday;
    t.hour = parts.tm_hour;
    t.minute = parts.tm_min;
    t.second = parts.tm_sec;
    return t;
}

void sleepFor(unsigned milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void unattendedAnswer(dialog::Dialog& d) { d.answerUnattended(); }

const Ops kPosixOps = {
    profile::read, profile::write, stderrMessageBox, systemUtc, sleepFor, unattendedAnswer,
};

Ops current = kPosixOps;

} // namespace

Ops& ops() { return current; }
const Ops& defaultOps() { return kPosixOps; }

} // namespace platform

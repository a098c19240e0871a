// The stand-in backend for Linux: profile files of our own, message boxes on stderr.
#include "platform/Platform.h"
#include "contract/HeadlessInput.h"
#include "platform/Dialog.h"
#include "platform/profile/ProfileFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

struct File {
    int descriptor;
};

namespace {

void stderrMessageBox(const char* text, const char* caption, BoxIcon icon, bool)
{
    const char* kind = icon == BoxIcon::Error ? "error" : "message";
    std::fprintf(stderr, "[%s] %s: %s\n", kind, caption ? caption : "Error", text ? text : "");
}

CivilDateTime systemUtc()
{
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    return CivilDateTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                         parts.tm_hour, parts.tm_min, parts.tm_sec};
}

std::uint64_t steadyMs()
{
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

void sleepFor(unsigned milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Without an operator, a stand-in host may still have typed into the dialog: its texts
// go into the controls first, then the dialog answers as it does unattended.
void unattendedAnswer(dialog::Dialog& d)
{
    if (const char* input = std::getenv(headless_input::kVariable))
        for (const headless_input::TypedText& t : headless_input::parse(input))
            if (t.templateId == d.templateId())
                d.setItemText(t.controlId, t.text);
    d.answerUnattended();
}

void setReason(std::string* reason, int error)
{
    if (reason)
        *reason = std::strerror(error);
}

File* posixFileOpen(const char* path, FileAccess access, std::string* reason)
{
    const int flags = access == FileAccess::Write ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY | O_CREAT;
    const int descriptor = ::open(path, flags | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        setReason(reason, errno);
        return nullptr;
    }
    return new File{descriptor};
}

bool posixFileWrite(File* file, const char* data, std::size_t size, std::string* reason)
{
    while (size > 0) {
        const ssize_t n = ::write(file->descriptor, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            setReason(reason, n < 0 ? errno : EIO);
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

long posixFileRead(File* file, char* buffer, std::size_t size, std::string* reason)
{
    for (;;) {
        const ssize_t n = ::read(file->descriptor, buffer, size);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno != EINTR) {
            setReason(reason, errno);
            return -1;
        }
    }
}

bool posixFileClose(File* file, std::string* reason)
{
    const int result = ::close(file->descriptor);
    const int error = errno;
    delete file;
    // Not retried on EINTR: the descriptor is released either way.
    if (result != 0 && error != EINTR) {
        setReason(reason, error);
        return false;
    }
    return true;
}

constexpr Ops kPosixOps = {
    profile::read, profile::write, stderrMessageBox, systemUtc, steadyMs, sleepFor, unattendedAnswer,
    posixFileOpen, posixFileWrite, posixFileRead, posixFileClose,
};

} // namespace

const Ops& defaultOps() { return kPosixOps; }

} // namespace platform

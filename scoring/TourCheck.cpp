#include "scoring/TourCheck.h"

#include "scoring/Tour.h"

namespace {

// " В ОДНОМ и ТОМ ЖЕ ТУРЕ ПРОВОДИТЬ НЕЛЬЗЯ !!!" in Windows-1251, the host's code page.
constexpr char kWarning[] =
    " \xC2 \xCE\xC4\xCD\xCE\xCC \xE8 \xD2\xCE\xCC \xC6\xC5 \xD2\xD3\xD0\xC5 "
    "\xCF\xD0\xCE\xC2\xCE\xC4\xC8\xD2\xDC \xCD\xC5\xCB\xDC\xC7\xDF !!!";
constexpr char kPrefix[] = "QSO c ";
static_assert(sizeof(kWarning) - 1 == 43, "the warning is 43 bytes");

} // namespace

int checkTour(const QsoLog& log, const std::string& call, const std::string& band,
              const std::string& mode, const CivilDateTime& now)
{
    if (log.hasQsoInTour(call, band, mode, tourOf(now)))
        return kRefused;
    return log.hasMultiplierKey(call) ? kWorkedBefore : kNewCall;
}

std::string refusalMessage(const std::string& call)
{
    constexpr std::size_t kFixed = sizeof(kPrefix) - 1 + sizeof(kWarning) - 1;
    constexpr std::size_t kMaxCall = kRefusalMessageCapacity - 1 - kFixed;
    std::string message(kPrefix);
    message.append(call, 0, kMaxCall);
    message += kWarning;
    return message;
}

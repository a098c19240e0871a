#pragma once
// The tour rule: a station may be worked once per half-hour tour, band and mode.
// A tour is the hour and the half of the hour; the date is not compared.

#include "contract/CheckAnswer.h"
#include "contract/OleDateTime.h"
#include "scoring/QsoLog.h"

#include <cstddef>
#include <string>

// kRefused when a QSO with this call, band and mode lies in the tour of now (one
// reading of the UTC clock, so hour and minute always belong together); otherwise
// kWorkedBefore when some record's multiplierKey equals call, else kNewCall.
int checkTour(const QsoLog& log, const std::string& call, const std::string& band,
              const std::string& mode, const CivilDateTime& now);

// Never longer than this, NUL included, whatever the host's buffer: its size is unknown.
inline constexpr std::size_t kRefusalMessageCapacity = 256;

// The refusal in Windows-1251: "QSO c " + call + the tour warning. A call too long for
// the capacity is cut so that the whole message and its NUL fit.
std::string refusalMessage(const std::string& call);

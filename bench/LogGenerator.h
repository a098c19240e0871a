#pragma once
// Seeded contest logs of a realistic shape: 2 to 6 bands, CW and SSB, calls spread over
// the tours of a contest, about a third of the QSOs working a station again later.

#include "tools/host/StatsHost.h"

#include <cstdint>
#include <vector>

std::vector<host::Qso> generateLog(std::size_t qsoCount, std::uint32_t seed);

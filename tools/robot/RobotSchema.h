#pragma once
// The robot database's tables, as ordered migrations: a database made by an older
// robot is brought up to this one's version when it opens.

#include "tools/robot/Database.h"

#include <vector>

namespace korvane::robot {

// Version 1: submissions (every upload byte for byte), per-call settings, the
// committee's settings and the judge's runs.
std::vector<Migration> robotMigrations();

} // namespace korvane::robot

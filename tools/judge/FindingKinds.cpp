#include "tools/judge/FindingKinds.h"

namespace korvane::judge {

using C = Counting;
using R = ResultColumn;

// clang-format off
constexpr std::array<FindingKind, kFindingCount> kFindingKinds = {{
//   finding                  key                jsonName           words                                label                         row  held   counting                  column
    {Finding::Confirmed,      "confirmed",       "confirmed",       "confirmed",                         "Confirmed",                  0,   false, C::Always,                R::None},
    {Finding::NoLog,          "no-log",          "no_log",          "not checked",                       "Not checked (no log)",       1,   false, C::Always,                R::None},
    {Finding::Unique,         "unique",          "unique",          "unique",                            "Unique",                     2,   true,  C::UnlessUniquesRuledOut, R::None},
    {Finding::BustedExchange, "busted-exchange", "busted_exchange", "busted exchange",                   "Busted exchange",            6,   true,  C::Never,                 R::Busted},
    {Finding::Nil,            "nil",             "nil",             "not in log",                        "Not in log (NIL)",           3,   true,  C::Never,                 R::Nil},
    {Finding::WrongTime,      "wrong-time",      "wrong_time",      "time far from the partner's",       "Wrong time (near miss)",     4,   true,  C::Never,                 R::Nil},
    {Finding::BustedCall,     "busted-call",     "busted_call",     "busted call",                       "Busted call",                5,   true,  C::Never,                 R::Busted},
    {Finding::TourRepeat,     "tour-repeat",     "tour_repeat",     "repeat in the same tour",           "Repeat in the same tour",    7,   true,  C::Never,                 R::None},
    {Finding::OutOfPeriod,    "out-of-period",   "out_of_period",   "outside the contest period",        "Outside the contest period", 8,   true,  C::Never,                 R::None},
    {Finding::NotInContest,   "not-in-contest",  "not_in_contest",  "band or mode not in the contest",   "Not a contest band or mode", 9,   true,  C::Never,                 R::None},
    {Finding::BandMismatch,   "band-mismatch",   "band_mismatch",   "band does not match the frequency", "Band not the frequency's",   10,   true,  C::Never,                 R::None},
    {Finding::Duplicate,      "duplicate",       "duplicate",       "duplicate line",                    "Duplicate line",             11,   true,  C::Never,                 R::None},
}};
// clang-format on

constexpr bool inEnumOrder()
{
    for (std::size_t i = 0; i < kFindingKinds.size(); ++i)
        if (static_cast<std::size_t>(kFindingKinds[i].finding) != i)
            return false;
    return true;
}
static_assert(inEnumOrder(), "findingKind() looks a kind up by its enum value");

std::optional<Finding> findingFromKey(std::string_view key)
{
    for (const FindingKind& kind : kFindingKinds)
        if (key == kind.key)
            return kind.finding;
    return std::nullopt;
}

} // namespace korvane::judge

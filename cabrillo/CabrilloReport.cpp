#include "cabrillo/CabrilloReport.h"

int CabrilloReport::setupHeader(const std::string&, const COleDateTime&, const COleDateTime&)
{
    return 0;
}

void CabrilloReport::addQsoLine(const std::string&, int, const char*, const COleDateTime&,
                                const std::string&, const std::string&, const std::string&,
                                const std::string&)
{
}

CabrilloReport::WriteOutcome CabrilloReport::writeLog(int)
{
    qsoLines.clear();
    return WriteOutcome{"Cabrillo report not available in this build", false};
}

#include "scoring/QsoLog.h"

#include <utility>

void QsoLog::add(QsoRecord record) { records_.push_back(std::move(record)); }

bool QsoLog::removeFirst(const std::string& call, const std::string& mode,
                         const std::string& band)
{
    for (auto it = records_.begin(); it != records_.end(); ++it) {
        if (it->call == call && it->mode == mode && it->band == band) {
            records_.erase(it);
            return true;
        }
    }
    return false;
}

void QsoLog::clear()
{
    records_.clear();
    records_.shrink_to_fit();
}

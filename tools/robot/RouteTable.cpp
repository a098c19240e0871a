#include "tools/robot/RouteTable.h"

namespace korvane::robot {

void RouteTable::add(std::string method, std::string pattern, RouteHandler handler)
{
    Route route{std::move(method), std::move(pattern), std::move(handler), nullptr};
    compiled_.push_back({route, std::regex(route.pattern)});
    routes_.push_back(std::move(route));
}

void RouteTable::addUpload(std::string pattern, UploadHandler handler)
{
    Route route{"POST", std::move(pattern), nullptr, std::move(handler)};
    compiled_.push_back({route, std::regex(route.pattern)});
    routes_.push_back(std::move(route));
}

RouteTable::Found RouteTable::find(const std::string& method, const std::string& path) const
{
    Found found;
    const std::string wanted = method == "HEAD" ? "GET" : method;
    std::vector<std::string> allowed;
    for (const Compiled& c : compiled_) {
        std::smatch groups;
        if (!std::regex_match(path, groups, c.pattern))
            continue;
        if (c.route.method == wanted) {
            found.match = Match::Found;
            found.route = &c.route;
            found.groups = std::move(groups);
            return found;
        }
        allowed.push_back(c.route.method);
        if (c.route.method == "GET")
            allowed.push_back("HEAD");
    }
    if (allowed.empty())
        return found;
    found.match = Match::WrongMethod;
    for (const std::string& m : allowed)
        found.allow += (found.allow.empty() ? "" : ", ") + m;
    return found;
}

} // namespace korvane::robot

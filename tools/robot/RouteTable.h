#pragma once
// Every path the robot answers, with its method, in one table: requests are dispatched
// from it, and a path it knows under another method gets 405 with Allow, an unknown one
// 404, whichever method httplib itself would have routed.

#include <httplib.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace korvane::robot {

using RouteHandler = std::function<void(const httplib::Request&, httplib::Response&, const std::smatch&)>;
// For the uploads: the body is read by the handler, bounded, as it arrives.
using UploadHandler =
    std::function<void(const httplib::Request&, httplib::Response&, const httplib::ContentReader&)>;

struct Route {
    std::string method;  // GET (HEAD too) or POST
    std::string pattern; // the whole path, as a regular expression
    RouteHandler handler;
    UploadHandler upload; // set instead of handler for the two upload paths
};

class RouteTable {
public:
    void add(std::string method, std::string pattern, RouteHandler handler);
    // A POST whose handler reads the body itself.
    void addUpload(std::string pattern, UploadHandler handler);
    const std::vector<Route>& routes() const { return routes_; }

    enum class Match : std::uint8_t { Found, WrongMethod, Unknown };
    struct Found {
        Match match = Match::Unknown;
        const Route* route = nullptr; // when Found
        std::smatch groups;           // into the path given
        std::string allow;            // when WrongMethod: "GET, HEAD"
    };
    // path must outlive the result's groups.
    Found find(const std::string& method, const std::string& path) const;

private:
    struct Compiled {
        Route route;
        std::regex pattern;
    };
    std::vector<Compiled> compiled_;
    std::vector<Route> routes_;
};

} // namespace korvane::robot

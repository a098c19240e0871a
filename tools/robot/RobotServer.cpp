#include "tools/robot/RobotServer.h"

#include "tools/robot/ApiJson.h"
#include "tools/robot/DeadlineServer.h"
#include "tools/robot/PageLayout.h"
#include "tools/robot/RequestBodyRule.h"
#include "tools/robot/ServerContext.h"

#include <sys/socket.h>

namespace korvane::robot {
namespace {

// A multipart form around a 5 MB log: its boundaries, part headers and the text field.
constexpr std::size_t kFormOverhead = 64u << 10;

bool isApi(const httplib::Request& req)
{
    return req.path.rfind("/api/", 0) == 0 || req.path == "/api";
}

} // namespace

struct RobotServer::Impl {
    Impl(Robot& robot, const ServerOptions& options)
        : context(robot, options), server(options.connectionDeadline, options.threads)
    {
    }

    void dispatch(const httplib::Request& req, httplib::Response& res) const
    {
        RouteTable::Found found = table.find(req.method, req.path);
        if (found.match == RouteTable::Match::Found && found.route->handler)
            return found.route->handler(req, res, found.groups);
        if (found.match == RouteTable::Match::WrongMethod) {
            res.status = 405;
            res.set_header("Allow", found.allow);
            return;
        }
        res.status = 404;
    }

    // Every refusal without a body of its own gets one, in the kind the client asked.
    static httplib::Server::HandlerResponse errorBody(const httplib::Request& req, httplib::Response& res)
    {
        if (!res.body.empty())
            return httplib::Server::HandlerResponse::Unhandled;
        if (isApi(req))
            sendJson(res, res.status, statusJson(errorStatusName(res.status), errorSentence(res.status)));
        else
            sendHtml(res, res.status, messagePage(std::to_string(res.status), errorSentence(res.status)));
        return httplib::Server::HandlerResponse::Handled;
    }

    static void refuseUnread(const httplib::Request& req, httplib::Response& res)
    {
        res.set_header("Connection", "close");
        DeadlineServer::closeAfterResponse();
        errorBody(req, res);
    }

    // A POST's body is read only when its headers promise one within the route's limit:
    // the uploads read theirs themselves, bounded as it arrives, so they may be chunked.
    httplib::Server::HandlerResponse beforePostBody(const httplib::Request& req, httplib::Response& res) const
    {
        const RouteTable::Found found = table.find(req.method, req.path);
        const bool upload = found.match == RouteTable::Match::Found && found.route->upload;
        const ServerOptions& o = context.options;
        switch (bodyRule(req, upload ? o.maxLogBytes + kFormOverhead : o.maxFormBytes, upload)) {
        case BodyRule::Read: return httplib::Server::HandlerResponse::Unhandled;
        case BodyRule::Empty:
            if (upload) {
                found.route->upload(req, res, noBody());
            } else {
                httplib::Request bodiless = req;
                bodiless.body.clear();
                dispatch(bodiless, res);
            }
            return httplib::Server::HandlerResponse::Handled;
        case BodyRule::TooLarge: res.status = 413; break;
        case BodyRule::LengthRequired: res.status = 411; break;
        case BodyRule::Malformed: res.status = 400; break;
        }
        refuseUnread(req, res);
        return httplib::Server::HandlerResponse::Handled;
    }

    static httplib::ContentReader noBody()
    {
        return httplib::ContentReader([](const httplib::ContentReceiver&) { return true; },
                                      [](const httplib::MultipartContentHeader&, const httplib::ContentReceiver&) {
                                          return true;
                                      });
    }

    void configure()
    {
        const ServerOptions& o = context.options;
        server.set_read_timeout(o.readTimeout);
        server.set_write_timeout(o.writeTimeout);
        // An idle kept-alive connection holds its thread too: short, so that a client that
        // stalls holds one for the read limit and this, not longer.
        server.set_keep_alive_timeout(2);
        server.set_keep_alive_max_count(100);
        // cpp-httplib listens with a backlog of 5, fixed when the library was built: more
        // entrants connecting at once than that had their connections reset by the
        // kernel before the robot saw them. bind() listens again on this socket with room.
        server.set_socket_options([this](socket_t sock) {
            httplib::default_socket_options(sock);
            listenSocket = sock;
        });
        server.set_payload_max_length(o.maxLogBytes + kFormOverhead);
        server.set_default_headers({{"Content-Security-Policy", "default-src 'self'"},
                                    {"X-Content-Type-Options", "nosniff"},
                                    {"X-Frame-Options", "DENY"},
                                    {"Referrer-Policy", "same-origin"},
                                    {"Cache-Control", "no-store"}});
        server.set_error_handler(httplib::Server::HandlerWithResponse(errorBody));
        // httplib would read (or wait for) the body of a method no route takes before
        // saying 404; these are answered from the table at once, and the connection closed
        // since the body is left unread.
        server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
            if (req.method == "POST")
                return beforePostBody(req, res);
            if (req.method == "GET" || req.method == "HEAD")
                return httplib::Server::HandlerResponse::Unhandled;
            dispatch(req, res);
            refuseUnread(req, res);
            return httplib::Server::HandlerResponse::Handled;
        });
        server.set_exception_handler([](const httplib::Request& req, httplib::Response& res, const std::exception_ptr&) {
            res.status = 500;
            res.body.clear();
            errorBody(req, res);
        });

        addEntrantRoutes(context, table);
        addCommitteeRoutes(context, table);
        addApiRoutes(context, table);
        for (const Route& route : table.routes())
            if (route.upload)
                server.Post(route.pattern, route.upload);
        const auto any = [this](const httplib::Request& req, httplib::Response& res) { dispatch(req, res); };
        server.Get(".*", any);
        server.Post(".*", any);
    }

    ServerContext context;
    RouteTable table;
    DeadlineServer server;
    int port = -1;
    socket_t listenSocket = INVALID_SOCKET; // the server's own, seen as it is made
};

RobotServer::RobotServer(Robot& robot, const ServerOptions& options)
    : impl_(std::make_unique<Impl>(robot, options))
{
    impl_->configure();
}

RobotServer::~RobotServer() = default;

bool RobotServer::bind(const std::string& host, int port, std::string* error)
{
    if (port == 0) {
        impl_->port = impl_->server.bind_to_any_port(host);
    } else if (impl_->server.bind_to_port(host, port)) {
        impl_->port = port;
    } else {
        impl_->port = -1;
    }
    // Listening again on a listening socket changes only its backlog.
    if (impl_->port > 0 && impl_->listenSocket != INVALID_SOCKET && ::listen(impl_->listenSocket, SOMAXCONN) != 0) {
        if (error)
            *error = "cannot listen on " + host + ":" + std::to_string(impl_->port) + " with room for many clients";
        return false;
    }
    if (impl_->port <= 0 && error)
        *error = "cannot listen on " + host + ":" + std::to_string(port) +
                 " (the address is not this machine's, or the port is taken)";
    return impl_->port > 0;
}

int RobotServer::port() const { return impl_->port; }

bool RobotServer::serve() { return impl_->server.listen_after_bind(); }

bool RobotServer::running() const { return impl_->server.is_running(); }

void RobotServer::stop() { impl_->server.stop(); }

} // namespace korvane::robot

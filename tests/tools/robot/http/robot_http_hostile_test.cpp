// Clients that try to tie the server up: bodies without a bound, POSTs without a length,
// connections that send one byte at a time. Raw sockets, since a well-behaved client
// would not send any of these.
#include "HttpRobot.h"

#include <doctest/doctest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <vector>

using namespace robottest;
using Steady = std::chrono::steady_clock;

namespace {

double secondsSince(Steady::time_point start)
{
    return std::chrono::duration<double>(Steady::now() - start).count();
}

// A connection to the server that sends what it is given and reads the answer's head.
struct RawClient {
    explicit RawClient(int port)
    {
        fd = socket(AF_INET, SOCK_STREAM, 0);
        REQUIRE(fd >= 0);
        timeval wait{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        REQUIRE(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
    }
    ~RawClient() { close(fd); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool send(const std::string& bytes) const
    {
        return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // The status line's code, or 0 when nothing came within 5 s.
    int status() const
    {
        std::string head;
        char c = 0;
        while (head.find("\r\n") == std::string::npos && recv(fd, &c, 1, 0) == 1)
            head += c;
        return head.rfind("HTTP/1.1 ", 0) == 0 ? std::atoi(head.c_str() + 9) : 0;
    }

    int fd = -1;
};

std::string chunk(const std::string& data)
{
    char size[32];
    std::snprintf(size, sizeof size, "%zx\r\n", data.size());
    return size + data + "\r\n";
}

} // namespace

TEST_CASE("a POST body without a bound is refused before it is read, except an upload's")
{
    HttpRobot http;
    struct Case {
        const char* head;
        int status;
    };
    const Case cases[] = {
        // Chunked where only a form or JSON is taken: it would be read whole into memory.
        {"POST /api/nothing HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
        {"POST /committee/login HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
        {"POST /api/judge HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
        // Longer than any form: refused from its length.
        {"POST /committee/login HTTP/1.1\r\nHost: x\r\nContent-Length: 300000000\r\n\r\n", 413},
        {"POST /api/nothing HTTP/1.1\r\nHost: x\r\nContent-Length: 65537\r\n\r\n", 413},
        {"POST /api/logs HTTP/1.1\r\nHost: x\r\nContent-Length: 300000000\r\n\r\n", 413},
        // Lengths that are no length, or two ways to find the body's end.
        {"POST /api/logs HTTP/1.1\r\nHost: x\r\nContent-Length: -1\r\n\r\n", 400},
        {"POST /api/logs HTTP/1.1\r\nHost: x\r\nContent-Length: 12abc\r\n\r\n", 400},
        {"POST /api/logs HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n", 400},
        {"POST /api/logs HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n", 400},
        {"POST /api/logs HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: gzip\r\n\r\n", 400},
    };
    for (const Case& c : cases) {
        INFO(c.head);
        RawClient raw(http.port);
        const auto start = Steady::now();
        // The body begins and never ends: only an answer from the headers comes back.
        REQUIRE(raw.send(c.head));
        raw.send(chunk(std::string(1000, 'Q')));
        CHECK(raw.status() == c.status);
        CHECK(secondsSince(start) < 2);
    }
    // An upload may come chunked: it is read as it arrives, bounded.
    RawClient upload(http.port);
    const std::string log = sampleLog("cbr");
    REQUIRE(upload.send("POST /api/logs HTTP/1.1\r\nHost: x\r\nContent-Type: text/plain\r\n"
                        "Transfer-Encoding: chunked\r\n\r\n" +
                        chunk(log.substr(0, 100)) + chunk(log.substr(100)) + "0\r\n\r\n"));
    CHECK(upload.status() == 201);
    // Past 5 MB it is cut off, answered and the connection closed.
    RawClient over(http.port);
    REQUIRE(over.send("POST /api/logs HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"));
    const std::string piece = chunk(std::string(1u << 20, 'Q'));
    for (int i = 0; i < 6; ++i)
        REQUIRE(over.send(piece));
    CHECK(over.status() == 413);
    // And a form within the limit is read as before.
    httplib::Client client = http.client();
    CHECK(client.Post("/api/judge", bearer(http.test.token), std::string(60000, ' '), "application/json")->status ==
          202);
}

TEST_CASE("a POST with neither length nor encoding has no body, and is answered at once")
{
    HttpRobot http;
    struct Case {
        std::string head;
        int status;
    };
    // No log yet: the judge refuses for that, not for the body it did not wait for.
    const Case cases[] = {
        {"POST /api/judge HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer " + http.test.token + "\r\n\r\n", 409},
        {"POST /api/logs HTTP/1.1\r\nHost: x\r\n\r\n", 400},
        {"POST /upload HTTP/1.1\r\nHost: x\r\n\r\n", 400},
        {"POST /api/window HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer " + http.test.token + "\r\n\r\n", 400},
        {"POST /committee/logout HTTP/1.1\r\nHost: x\r\n\r\n", 403},
        {"POST /api/nothing HTTP/1.1\r\nHost: x\r\n\r\n", 404},
    };
    for (const Case& c : cases) {
        INFO(c.head);
        RawClient raw(http.port);
        const auto start = Steady::now();
        REQUIRE(raw.send(c.head));
        CHECK(raw.status() == c.status);
        CHECK(secondsSince(start) < 2);
    }
}

TEST_CASE("clients that send a byte every few hundred milliseconds lose their connection at its deadline")
{
    ServerOptions options;
    options.connectionDeadline = std::chrono::seconds(2);
    HttpRobot http(options); // 4 threads
    const auto start = Steady::now();
    std::vector<std::unique_ptr<RawClient>> slow;
    for (int i = 0; i < 8; ++i)
        slow.push_back(std::make_unique<RawClient>(http.port));
    // Each sends one byte of a header that never ends, well within the read time limit.
    std::atomic<bool> done{false};
    std::thread dribble([&] {
        for (int round = 0; round < 40 && !done; ++round) {
            for (const auto& raw : slow)
                raw->send(round == 0 ? "GET / HTTP/1.1\r\n" : "X");
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    httplib::Client client = http.client();
    client.set_read_timeout(std::chrono::seconds(8));
    httplib::Result page = client.Get("/api/contest");
    const double waited = secondsSince(start);
    done = true;
    dribble.join();
    REQUIRE(page);
    CHECK(page->status == 200);
    // They hold every thread until their deadline, counted from their accept, then the
    // page is served.
    CHECK(waited < 3.5);
    MESSAGE("a page served beside eight dribbling clients after " << waited << " s");
}

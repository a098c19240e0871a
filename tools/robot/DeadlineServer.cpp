#include "tools/robot/DeadlineServer.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace korvane::robot {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

thread_local bool closeRequested = false;
thread_local Clock::time_point acceptedAt;

// httplib's pool, each connection's task told when it was accepted.
class AcceptTimedPool final : public httplib::TaskQueue {
public:
    explicit AcceptTimedPool(std::size_t threads) : pool_(threads) {}
    void enqueue(std::function<void()> fn) override
    {
        pool_.enqueue([fn = std::move(fn), accepted = Clock::now()] {
            acceptedAt = accepted;
            fn();
        });
    }
    void shutdown() override { pool_.shutdown(); }

private:
    httplib::ThreadPool pool_;
};

// While waiting, how often to look whether the server is stopping: stop() then returns
// without waiting for every stalled client's deadline.
constexpr milliseconds kStopCheck{200};
constexpr milliseconds kDrainGap{1000};

milliseconds fromSeconds(time_t sec, time_t usec)
{
    return milliseconds(sec * 1000 + usec / 1000);
}

// The socket as httplib's stream, with one deadline over all of its reads and writes.
class DeadlineStream final : public httplib::Stream {
public:
    DeadlineStream(socket_t sock, Clock::time_point deadline, milliseconds readGap, milliseconds writeGap,
                   const std::atomic<socket_t>& listening)
        : sock_(sock), deadline_(deadline), readGap_(readGap), writeGap_(writeGap), listening_(listening)
    {
    }

    bool is_readable() const override { return begin_ < end_ || wait(POLLIN, readGap_); }
    bool is_writable() const override { return wait(POLLOUT, writeGap_); }

    // Waits for the first byte of another request on a kept-alive connection.
    bool awaitRequest(milliseconds idle) const { return begin_ < end_ || wait(POLLIN, idle); }

    // After a refusal whose body was left unread: the answer is sent, and what the client
    // still sends is read and dropped until it stops, so that the kernel does not reset
    // the connection, and lose the answer, for unread bytes.
    void drain()
    {
        ::shutdown(sock_, SHUT_WR);
        char scratch[16384];
        begin_ = end_ = 0;
        while (wait(POLLIN, kDrainGap) && ::recv(sock_, scratch, sizeof scratch, 0) > 0) {
        }
    }

    ssize_t read(char* ptr, size_t size) override
    {
        if (begin_ == end_) {
            if (!wait(POLLIN, readGap_))
                return -1;
            ssize_t n = 0;
            do
                n = ::recv(sock_, buffer_, sizeof buffer_, 0);
            while (n < 0 && errno == EINTR);
            if (n <= 0)
                return n;
            begin_ = 0;
            end_ = static_cast<std::size_t>(n);
        }
        const std::size_t count = std::min(size, end_ - begin_);
        std::memcpy(ptr, buffer_ + begin_, count);
        begin_ += count;
        return static_cast<ssize_t>(count);
    }

    ssize_t write(const char* ptr, size_t size) override
    {
        if (!wait(POLLOUT, writeGap_))
            return -1;
        ssize_t n = 0;
        do
            n = ::send(sock_, ptr, size, MSG_NOSIGNAL);
        while (n < 0 && errno == EINTR);
        return n;
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override { address(::getpeername, ip, port); }
    void get_local_ip_and_port(std::string& ip, int& port) const override { address(::getsockname, ip, port); }
    socket_t socket() const override { return sock_; }

private:
    // Whether the socket is ready within the gap, the deadline and the server's life.
    bool wait(short events, milliseconds gap) const
    {
        const Clock::time_point until = std::min(deadline_, Clock::now() + gap);
        for (;;) {
            const auto left = std::chrono::duration_cast<milliseconds>(until - Clock::now());
            if (left.count() <= 0 || listening_ == INVALID_SOCKET)
                return false;
            pollfd fd{sock_, events, 0};
            const int ready = ::poll(&fd, 1, static_cast<int>(std::min(left, kStopCheck).count()));
            if (ready > 0)
                return true;
            if (ready < 0 && errno != EINTR)
                return false;
        }
    }

    template <typename NameOf>
    void address(NameOf nameOf, std::string& ip, int& port) const
    {
        sockaddr_storage addr{};
        socklen_t length = sizeof addr;
        char host[NI_MAXHOST] = "", service[NI_MAXSERV] = "";
        if (nameOf(sock_, reinterpret_cast<sockaddr*>(&addr), &length) != 0 ||
            ::getnameinfo(reinterpret_cast<sockaddr*>(&addr), length, host, sizeof host, service, sizeof service,
                          NI_NUMERICHOST | NI_NUMERICSERV) != 0)
            return;
        ip = host;
        port = std::atoi(service);
    }

    socket_t sock_;
    Clock::time_point deadline_;
    milliseconds readGap_, writeGap_;
    const std::atomic<socket_t>& listening_;
    char buffer_[4096] = {};
    std::size_t begin_ = 0, end_ = 0;
};

} // namespace

DeadlineServer::DeadlineServer(std::chrono::milliseconds connectionDeadline, std::size_t threads)
    : deadline_(connectionDeadline)
{
    threads = std::max<std::size_t>(threads, 1);
    new_task_queue = [threads] { return new AcceptTimedPool(threads); };
}

void DeadlineServer::closeAfterResponse() { closeRequested = true; }

bool DeadlineServer::process_and_close_socket(socket_t sock)
{
    DeadlineStream stream(sock, acceptedAt + deadline_, fromSeconds(read_timeout_sec_, read_timeout_usec_),
                          fromSeconds(write_timeout_sec_, write_timeout_usec_), svr_sock_);
    bool ok = false;
    for (std::size_t left = keep_alive_max_count_; left > 0; --left) {
        if (!stream.awaitRequest(std::chrono::seconds(keep_alive_timeout_sec_)))
            break;
        closeRequested = false;
        bool closed = false;
        ok = process_request(stream, left == 1, closed, nullptr);
        if (closeRequested) {
            stream.drain();
            break;
        }
        if (!ok || closed)
            break;
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ok;
}

} // namespace korvane::robot

#pragma once
// An httplib server whose every connection has a total deadline. The read and write
// time limits bound only the gap between two packets: a client sending one byte every
// few seconds would hold a thread for as long as it liked, and a few such clients every
// thread. Past its deadline a connection's reads and writes fail and its thread is free.

#include <httplib.h>

#include <chrono>
#include <cstddef>

namespace korvane::robot {

class DeadlineServer : public httplib::Server {
public:
    // The deadline counts from the accept, so that a connection that waited for a thread
    // behind stalled ones has no more time than they had.
    DeadlineServer(std::chrono::milliseconds connectionDeadline, std::size_t threads);

    // For a response handler: close the connection once this response is sent, since
    // the request's body was left unread and the next request would start inside it.
    static void closeAfterResponse();

private:
    bool process_and_close_socket(socket_t sock) override;

    std::chrono::milliseconds deadline_;
};

} // namespace korvane::robot

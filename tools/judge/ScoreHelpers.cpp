#include "tools/judge/ScoreHelpers.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#endif

namespace korvane::judge {

namespace {

#if !defined(_WIN32)
namespace fs = std::filesystem;

struct Reported {
    std::uint32_t station;
    std::int32_t score;
};

// A new folder of the helper's own with the settings as they are now, for its plug-in.
// The work folder may be the operator's (--workdir): a folder already there is theirs,
// never replaced, and only the one made here is removed.
bool helperFolder(unsigned k, fs::path& folder)
{
    std::error_code ec;
    fs::path candidate;
    bool made = false;
    for (unsigned n = 0; !made && n < 100; ++n) {
        candidate = "korvane-score-helper-" + std::to_string(k) + "-" + std::to_string(::getpid()) +
                    (n ? "-" + std::to_string(n) : std::string());
        made = fs::create_directory(candidate, ec);
        if (ec)
            return false;
    }
    if (!made)
        return false; // `folder` still names nothing, so nothing is removed
    folder = candidate;
    fs::create_directory(folder / "Plugins", ec);
    const fs::path settings = "Plugins";
    std::error_code none; // a work folder without settings yet is no error
    if (fs::is_directory(settings, none))
        for (fs::directory_iterator it(settings, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file(ec))
                fs::copy_file(it->path(), folder / "Plugins" / it->path().filename(), ec);
    if (ec) {
        std::error_code ignored;
        fs::remove_all(std::exchange(folder, fs::path()), ignored);
    }
    return !ec;
}

bool writeAll(int fd, const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

class Helper {
public:
    Helper() = default;
    Helper(Helper&& o) noexcept
        : range_(o.range_), folder_(std::exchange(o.folder_, fs::path())), pid_(std::exchange(o.pid_, -1)),
          fd_(std::exchange(o.fd_, -1))
    {
    }
    Helper& operator=(Helper&&) = delete;
    // Scoring here threw: the helper's work is not wanted. It is stopped rather than
    // waited for (it may be blocked on a full pipe), and its folder removed.
    ~Helper()
    {
        if (pid_ > 0)
            ::kill(pid_, SIGKILL);
        finish();
    }

    int readEnd() const { return fd_; }

    // Forks a helper for the range; false (nothing started) when it cannot. earlier: the
    // read ends of the helpers started before, which this one must not hold open.
    bool start(const ScoreRun& run, StationRange range, unsigned k, const std::vector<int>& earlier)
    {
        range_ = range;
        int fds[2];
        if (!helperFolder(k, folder_))
            return false;
        std::error_code ec;
        if (::pipe(fds) != 0) {
            fs::remove_all(std::exchange(folder_, fs::path()), ec);
            return false;
        }
#if defined(F_SETPIPE_SZ)
        // Room for every score of a large range, so that the helper never waits for this
        // process to finish its own part before it can go on (a hint: the default stays).
        (void)::fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
#endif
        std::fflush(nullptr); // what is buffered is written once, by this process
        const pid_t pid = ::fork();
        if (pid < 0) {
            ::close(fds[0]);
            ::close(fds[1]);
            fs::remove_all(std::exchange(folder_, fs::path()), ec);
            return false;
        }
        if (pid == 0) {
            ::close(fds[0]);
            for (int fd : earlier)
                ::close(fd);
            // Whatever happens here ends here: no exception goes back up into a copy of
            // the judge, and no destructor or buffered output of the parent's runs.
            bool ok = false;
            try {
                ok = ::chdir(folder_.c_str()) == 0;
                for (std::uint32_t s = range.first; ok && s < range.last; ++s) {
                    const Reported r{s, run.score(s)};
                    ok = writeAll(fds[1], &r, sizeof r);
                }
            } catch (...) {
                ok = false;
            }
            ::_exit(ok ? 0 : 1);
        }
        ::close(fds[1]);
        pid_ = pid;
        fd_ = fds[0];
        return true;
    }

    // Waits for the helper and takes its scores; the stations it did not report stay
    // marked in `missing`. How many it reported.
    std::size_t collect(std::vector<int>& scores, std::vector<bool>& missing)
    {
        std::size_t taken = 0;
        Reported r{};
        std::size_t have = 0;
        for (;;) {
            const ssize_t n = ::read(fd_, reinterpret_cast<char*>(&r) + have, sizeof r - have);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            have += static_cast<std::size_t>(n);
            if (have < sizeof r)
                continue;
            have = 0;
            // Only what was asked of it: a helper is this program, but a stray record
            // must not write past the table.
            if (r.station >= range_.first && r.station < range_.last && missing[r.station]) {
                scores[r.station] = r.score;
                missing[r.station] = false;
                ++taken;
            }
        }
        finish();
        return taken;
    }

    StationRange range() const { return range_; }

private:
    void finish()
    {
        if (fd_ >= 0)
            ::close(std::exchange(fd_, -1));
        if (pid_ > 0)
            while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
            }
        pid_ = -1;
        std::error_code ec;
        if (!folder_.empty())
            fs::remove_all(std::exchange(folder_, fs::path()), ec);
    }

    StationRange range_;
    fs::path folder_;
    pid_t pid_ = -1;
    int fd_ = -1;
};
#endif

} // namespace

std::vector<int> scoreStations(const ContestLogs& logs, const ScoreRun& run)
{
    const std::size_t n = logs.stations.size();
    std::vector<int> scores(n, 0);
    std::vector<bool> missing(n, true);
    std::size_t done = 0;
    auto scoreHere = [&](StationRange range) {
        for (std::uint32_t s = range.first; s < range.last; ++s)
            if (missing[s]) {
                scores[s] = run.score(s);
                missing[s] = false;
                if (run.progress)
                    run.progress(++done, n);
            }
    };
    std::vector<StationRange> here{{0, static_cast<std::uint32_t>(n)}};
#if !defined(_WIN32)
    std::vector<Helper> helpers;
    if (const std::vector<StationRange> ranges = splitByQsos(logs, run.helpers + 1); ranges.size() > 1) {
        here = {ranges.front()};
        helpers.reserve(ranges.size());
        std::vector<int> readEnds;
        for (std::size_t k = 1; k < ranges.size(); ++k) {
            Helper h;
            if (h.start(run, ranges[k], static_cast<unsigned>(k), readEnds)) {
                readEnds.push_back(h.readEnd());
                helpers.push_back(std::move(h));
            } else {
                here.push_back(ranges[k]); // no helper: this process takes its stations
            }
        }
    }
#endif
    for (const StationRange& range : here)
        scoreHere(range);
#if !defined(_WIN32)
    for (Helper& h : helpers) {
        done += h.collect(scores, missing);
        if (run.progress)
            run.progress(done, n);
    }
    for (const Helper& h : helpers)
        scoreHere(h.range()); // what a helper could not report
#endif
    return scores;
}

} // namespace korvane::judge

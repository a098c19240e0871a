#include "tools/judge/LogLoader.h"

#include "contract/AsciiText.h"
#include "tools/judge/SharedCalls.h"
#include "tools/logs/LogFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#if !defined(_WIN32)
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace korvane::judge {
namespace {

namespace fs = std::filesystem;

// The largest station's log holds some ten thousand QSO lines of a hundred bytes. These
// bounds keep one hostile file from taking the memory every other log needs (a log of
// one-byte exchanges takes some 13 times its size while it is read): past them the log
// is listed as unreadable, with the limit named, and the others go on.
constexpr std::uintmax_t kMaxLogBytes = 8u << 20;
constexpr std::size_t kMaxLineBytes = 8192;

// A log as a worker leaves it: parsed, its text already gone.
struct ParsedLog {
    std::string readError; // the file could not be read as a log at all
    std::size_t errorLine = 0; // where, when one line is to blame
    ReadLog log;
    long long fileTime = 0; // when the file was last written, to tell a resubmission
};

std::string tooLarge()
{
    return "larger than " + std::to_string(kMaxLogBytes >> 20) + " MB, the most the judge reads of one log";
}

bool readBytes(const std::string& path, std::string& bytes, std::string* error)
{
    std::error_code ec;
    if (fs::file_size(path, ec) > kMaxLogBytes && !ec) {
        *error = tooLarge();
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        *error = "cannot open the file";
        return false;
    }
    char chunk[65536];
    std::size_t n;
    // The size may change while it is read: the bound holds for what is read.
    while (bytes.size() <= kMaxLogBytes && (n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
        *error = "cannot read the file";
    else if (bytes.size() > kMaxLogBytes)
        *error = tooLarge();
    return error->empty();
}

// The first line longer than kMaxLineBytes, from 1; 0 when there is none.
std::size_t overlongLine(std::string_view text)
{
    std::size_t line = 1;
    for (std::size_t from = 0; from < text.size(); ++line) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        if (end - from > kMaxLineBytes)
            return line;
        from = end + 1;
    }
    return 0;
}

long long lastWritten(const std::string& path)
{
    std::error_code ec;
    const auto time = fs::last_write_time(path, ec);
    return ec ? 0 : static_cast<long long>(time.time_since_epoch().count());
}

// Read as `score` reads a log: ADIF or Cabrillo of any version, a byte-order mark aside.
ParsedLog parse(const std::string& path)
{
    ParsedLog parsed;
    std::string text;
    if (!readBytes(path, text, &parsed.readError))
        return parsed;
    // ADIF needs no line ends at all and its reader bounds each field itself; a Cabrillo
    // line is tokenized whole.
    const std::size_t line = detectFormat(text) == LogFormat::Adif ? 0 : overlongLine(text);
    if (line) {
        parsed.readError = "a line longer than " + std::to_string(kMaxLineBytes) +
                           " bytes, the most the judge reads of one line";
        parsed.errorLine = line;
        return parsed;
    }
    parsed.fileTime = lastWritten(path);
    LogFileResult file = readLogText(text);
    if (!file.ok)
        parsed.readError = file.error;
    else
        parsed.log = std::move(file.log);
    return parsed;
}

class Converter {
public:
    Converter(ContestLogs& logs, const LoadOptions& options) : logs_(logs), options_(options) {}

    void take(const std::string& file, const ParsedLog& parsed)
    {
        UnreadableLog bad{file, parsed.log.ownCall, parsed.readError, parsed.errorLine};
        if (bad.reason.empty() &&
            addStation(logs_, file, parsed.log, options_.lenient, &bad.reason, &bad.line)) {
            fileTimes_.push_back(parsed.fileTime);
            return;
        }
        logs_.unreadable.push_back(std::move(bad));
    }

    // Logs that claim one call are settled once every log is in.
    void finish() { settleSharedCalls(logs_, fileTimes_, options_.chosen); }

private:
    ContestLogs& logs_;
    const LoadOptions& options_;
    std::vector<long long> fileTimes_; // by station
};

#if !defined(_WIN32)
// Workers parse files by index; the caller converts them strictly in index order. A
// worker waits rather than run more than kAhead files ahead of the conversion, which
// keeps the parsed logs in memory few.
class ParallelReader {
public:
    static constexpr std::size_t kAhead = 16;

    ParallelReader(const std::vector<std::string>& files, unsigned workers)
        : files_(files), slots_(files.size())
    {
        for (unsigned i = 0; i < workers; ++i)
            threads_.emplace_back([this] { work(); });
    }
    ~ParallelReader()
    {
        {
            std::lock_guard<std::mutex> hold(mutex_);
            stopping_ = true;
        }
        space_.notify_all();
        for (std::thread& t : threads_)
            t.join();
    }

    // The next file's log, in order.
    ParsedLog next()
    {
        std::unique_lock<std::mutex> hold(mutex_);
        ready_.wait(hold, [&] { return slots_[consumed_].done; });
        ParsedLog log = std::move(slots_[consumed_].log);
        slots_[consumed_].log = ParsedLog();
        ++consumed_;
        hold.unlock();
        space_.notify_all();
        return log;
    }

private:
    struct Slot {
        bool done = false;
        ParsedLog log;
    };

    void work()
    {
        for (;;) {
            std::size_t index;
            {
                std::unique_lock<std::mutex> hold(mutex_);
                space_.wait(hold, [&] {
                    return stopping_ || claimed_ >= files_.size() || claimed_ < consumed_ + kAhead;
                });
                if (stopping_ || claimed_ >= files_.size())
                    return;
                index = claimed_++;
            }
            ParsedLog log = parse(files_[index]);
            {
                std::lock_guard<std::mutex> hold(mutex_);
                slots_[index].log = std::move(log);
                slots_[index].done = true;
            }
            ready_.notify_all();
        }
    }

    const std::vector<std::string>& files_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable ready_, space_;
    std::size_t claimed_ = 0, consumed_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};
#endif

template <typename Each>
void forEachParsed(const std::vector<std::string>& files, unsigned workers, Each each)
{
#if !defined(_WIN32)
    if (workers > 1 && files.size() > 1) {
        ParallelReader reader(files, workers);
        for (std::size_t i = 0; i < files.size(); ++i)
            each(i, reader.next());
        return;
    }
#endif
    for (std::size_t i = 0; i < files.size(); ++i)
        each(i, parse(files[i]));
}

// Every regular file under the folder, subfolders too (committees sort logs into
// folders by category); hidden files and folders are the system's, not logs.
bool filesInFolder(const std::string& folder, std::vector<std::string>& files,
                   std::vector<std::string>* hidden, std::string* error)
{
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (!name.empty() && name[0] == '.') {
            if (it->is_directory(typeError))
                it.disable_recursion_pending();
            if (hidden)
                hidden->push_back(it->path().string());
            continue;
        }
        if (it->is_regular_file(typeError))
            files.push_back(it->path().string());
    }
    if (ec)
        *error = folder + ": " + ec.message();
    return !ec;
}

} // namespace

bool listLogFiles(const std::vector<std::string>& paths, std::vector<std::string>& files,
                  std::string* error, std::vector<std::string>* hidden)
{
    for (const std::string& path : paths) {
        std::error_code ec;
        if (fs::is_regular_file(path, ec)) {
            files.push_back(path);
            continue;
        }
        if (!fs::is_directory(path, ec)) {
            *error = path + ": neither a log file nor a folder of logs";
            return false;
        }
        std::vector<std::string> inside;
        if (!filesInFolder(path, inside, hidden, error))
            return false;
        std::sort(inside.begin(), inside.end());
        files.insert(files.end(), inside.begin(), inside.end());
    }
    return true;
}

ContestLogs loadContestLogs(const std::vector<std::string>& files, const LoadOptions& options)
{
    ContestLogs logs;
    Converter converter(logs, options);
    forEachParsed(files, options.workers, [&](std::size_t i, const ParsedLog& parsed) {
        converter.take(files[i], parsed);
        if (options.progress)
            options.progress(i + 1, files.size());
    });
    converter.finish();
    for (Station& s : logs.stations)
        if (options.checkLogCalls.count(ascii::upper(s.call)))
            s.checkLog = true;
    logs.indexStations();
    return logs;
}

std::size_t readLogsOnly(const std::vector<std::string>& files, unsigned workers)
{
    std::size_t qsos = 0;
    forEachParsed(files, workers, [&](std::size_t, const ParsedLog& parsed) { qsos += parsed.log.qsos.size(); });
    return qsos;
}

bool parallelReadingAvailable()
{
#if defined(_WIN32)
    return false;
#else
    return true;
#endif
}

} // namespace korvane::judge

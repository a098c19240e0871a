#include "tools/logs/LogFile.h"

#include "tools/logs/AdifReader.h"
#include "tools/logs/CabrilloReader.h"
#include "tools/logs/TextUtil.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace korvane {
namespace {

// Real logs are far smaller; this keeps a wrong argument from filling the memory.
constexpr long long kMaxLogBytes = 256ll * 1024 * 1024;

std::string_view withoutByteOrderMark(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    return text;
}

bool startsWithDataSpecifier(std::string_view text)
{
    const std::size_t gt = text.find('>');
    const std::size_t colon = text.find(':');
    return !text.empty() && text.front() == '<' && colon < gt && gt != std::string_view::npos;
}

} // namespace

LogFormat detectFormat(std::string_view text)
{
    text = withoutByteOrderMark(text);
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    if (findNoCase(text.substr(i, 13), "start-of-log:", 0) == 0)
        return LogFormat::Cabrillo;
    if (startsWithDataSpecifier(text.substr(i)) || findNoCase(text, "<eoh>", 0) != std::string_view::npos)
        return LogFormat::Adif;
    return LogFormat::Unknown;
}

LogFileResult readLogText(std::string_view text, const AdifOptions& adif, const ReadLimits& limits)
{
    LogFileResult result;
    text = withoutByteOrderMark(text);
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        result.error = "the file is empty";
        return result;
    }
    // Logs are text; a NUL byte means a program, an image or a damaged disk.
    if (text.find('\0') != std::string_view::npos) {
        result.error = "a binary file (it holds NUL bytes), not a log";
        return result;
    }
    switch (detectFormat(text)) {
    case LogFormat::Adif:
        result.log = readAdif(text, adif, limits);
        if (!adif.exchangeField.empty() && !result.log.qsos.empty() &&
            std::none_of(result.log.qsos.begin(), result.log.qsos.end(),
                         [](const LogQso& q) { return !q.exchReceived.empty(); })) {
            result.error = "--exchange-field " + adif.exchangeField +
                           ": no QSO read has a value in that field";
            return result;
        }
        break;
    case LogFormat::Cabrillo:
        if (!adif.exchangeField.empty()) {
            result.error = "--exchange-field names ADIF fields, and this is a Cabrillo log";
            return result;
        }
        result.log = readCabrillo(text, limits);
        break;
    case LogFormat::Unknown:
        result.error = "neither an ADIF log (no <EOH>, no data specifier at the start) "
                       "nor a Cabrillo log (no START-OF-LOG: line)";
        return result;
    }
    result.ok = true;
    return result;
}

LogFileResult readLogFile(const std::string& path, const AdifOptions& adif)
{
    LogFileResult result;
    const bool standardInput = path == kStandardInput;
    std::error_code ec;
    if (!standardInput && std::filesystem::is_directory(path, ec)) {
        result.error = "a folder, not a log file";
        return result;
    }
#if defined(_WIN32)
    // Text mode would drop CR and stop at Ctrl-Z, and ADIF lengths count every byte.
    if (standardInput)
        _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::FILE* f = standardInput ? stdin : std::fopen(path.c_str(), "rb");
    if (!f) {
        result.error = "cannot open the file";
        return result;
    }
    std::string bytes;
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        bytes.append(chunk, n);
        if (static_cast<long long>(bytes.size()) > kMaxLogBytes) {
            if (!standardInput)
                std::fclose(f);
            result.error = "larger than " + std::to_string(kMaxLogBytes >> 20) + " MB, not a log";
            return result;
        }
    }
    const bool failed = std::ferror(f) != 0;
    if (!standardInput)
        std::fclose(f);
    if (failed) {
        result.error = "cannot read the file";
        return result;
    }
    return readLogText(bytes, adif);
}

} // namespace korvane

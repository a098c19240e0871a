#include "tools/logs/SentExchange.h"

#include "tools/logs/QsoFields.h"
#include "tools/logs/TextUtil.h"

namespace korvane {
namespace {

// Room left in the host's exchange for a serial of up to ten digits.
constexpr std::size_t kMaxSentText = kMaxExchangeLength - 10;

std::string qsosReach(std::size_t n)
{
    return std::to_string(n) + (n == 1 ? " QSO reaches" : " QSOs reach");
}

} // namespace

std::string sentExchangeProblem(const std::string& text)
{
    if (trim(text).empty())
        return "a blank sent exchange";
    if (text.size() > kMaxSentText)
        return "longer than " + std::to_string(kMaxSentText) + " bytes";
    for (const char c : text)
        if (c < ' ' || c > '~')
            return "a byte that is not printable ASCII (" + shown(text) +
                   "): log robots read exchanges as ASCII";
    return std::string();
}

std::string sentExchangeFor(const std::string& text, std::size_t serial)
{
    const std::string number = std::to_string(serial);
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '#') {
            out += text[i++];
            continue;
        }
        std::size_t width = 0;
        while (i < text.size() && text[i] == '#')
            ++width, ++i;
        if (number.size() < width)
            out.append(width - number.size(), '0');
        out += number;
    }
    return out;
}

std::size_t applySentExchange(std::vector<LogQso>& qsos, const std::string& text)
{
    std::size_t replaced = 0, serial = 0;
    for (LogQso& q : qsos) {
        std::string sent = sentExchangeFor(text, ++serial);
        if (!q.exchSent.empty() && q.exchSent != sent)
            ++replaced;
        q.exchSent = std::move(sent);
    }
    return replaced;
}

std::vector<std::string> missingExchangeWarnings(const std::vector<LogQso>& qsos,
                                                 LogFormat format)
{
    std::size_t noSent = 0, noReceived = 0;
    for (const LogQso& q : qsos) {
        noSent += q.exchSent.empty();
        noReceived += q.exchReceived.empty();
    }
    std::vector<std::string> lines;
    if (noSent > 0)
        lines.push_back(qsosReach(noSent) + " the plug-in with no sent exchange (--sent-exchange "
                                            "gives one)");
    if (noReceived > 0)
        lines.push_back(qsosReach(noReceived) + " the plug-in with no received exchange" +
                        (format == LogFormat::Adif ? " (--exchange-field names where it is)" : ""));
    if (!lines.empty())
        lines.push_back("log robots refuse such Cabrillo lines: an uneven number of report and "
                        "exchange fields");
    return lines;
}

} // namespace korvane

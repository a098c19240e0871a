#include "tools/judge/SentExchange.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace korvane::judge {
namespace {

// The same name copied alike by this many partners is a variant the sender used
// ("HANNES" for "HANS"): two operators rarely miscopy a name the same way.
constexpr std::uint32_t kVariantVoters = 2;
// Fewer values than this cannot tell a serial from a member number.
constexpr std::size_t kValuesToTellVarying = 3;

// A serial: no value is given even half the times, as a member number would be.
bool noValueRepeats(std::vector<std::uint32_t> values)
{
    values.erase(std::remove(values.begin(), values.end(), kNoValue), values.end());
    if (values.size() < kValuesToTellVarying)
        return false;
    std::sort(values.begin(), values.end());
    std::size_t longest = 0;
    for (std::size_t a = 0, b = 0; a < values.size(); a = b) {
        while (b < values.size() && values[b] == values[a])
            ++b;
        longest = std::max(longest, b - a);
    }
    return 2 * longest < values.size();
}

// The value given most often, the earliest among equals; none for no values.
template <typename T>
T mostFrequent(const std::vector<T>& values, T none)
{
    std::map<T, std::size_t> count;
    T best = none;
    std::size_t bestCount = 0;
    for (const T& v : values)
        if (++count[v] > bestCount) {
            bestCount = count[v];
            best = v;
        }
    return best;
}

} // namespace

bool SentExchanges::Copy::operator<(const Copy& o) const
{
    return std::tie(sender, value, voter) < std::tie(o.sender, o.value, o.voter);
}

SentExchanges::SentExchanges(const ContestLogs& logs, const std::vector<std::uint32_t>& partner,
                             const ExchangeRules& rules)
    : logs_(logs), partner_(partner), reader_(rules)
{
    owner_.resize(logs.qsos.size());
    for (std::uint32_t s = 0; s < logs.stations.size(); ++s)
        std::fill_n(owner_.begin() + logs.stations[s].first, logs.stations[s].count, s);
    serialOnly_ = rules.parts.size() == 1 && rules.parts[0].kind == PartKind::Number && !rules.parts[0].constant;
    const bool constant = rules.hasConstantPart();
    senders_ = logs.stations.size() + (constant ? logs.calls.size() : 0);
    sent_.assign(senders_ * rules.parts.size(), SentPart{});
    if (constant)
        settleConstantParts();
}

std::uint32_t SentExchanges::senderWithoutLog(std::uint32_t index) const
{
    const std::uint32_t call = logs_.qsos[index].call;
    if (partner_[index] != kNoIndex || logs_.stationOfCall[call] != kNoIndex)
        return kNoIndex;
    return static_cast<std::uint32_t>(logs_.stations.size()) + call;
}

const PartValues& SentExchanges::sentParts(std::uint32_t index)
{
    return reader_.parts(logs_.qsos[index].sent, logs_.exchanges);
}

const PartValues& SentExchanges::receivedParts(std::uint32_t index)
{
    return reader_.parts(logs_.qsos[index].received, logs_.exchanges);
}

void SentExchanges::settleConstantParts()
{
    const std::vector<ExchangePart>& parts = reader_.rules().parts;
    std::vector<Copy> copies;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (!parts[k].constant)
            continue;
        copies.clear();
        for (std::uint32_t i = 0; i < logs_.qsos.size(); ++i) {
            const std::uint32_t sender = partner_[i] != kNoIndex ? owner_[partner_[i]] : senderWithoutLog(i);
            if (sender != kNoIndex)
                copies.push_back({sender, owner_[i], receivedParts(i)[k]});
        }
        std::sort(copies.begin(), copies.end());
        std::vector<Copy> ofOne;
        for (std::uint32_t s = 0; s < senders_; ++s) {
            const auto from = std::lower_bound(copies.begin(), copies.end(), Copy{s, 0, 0});
            const auto to = std::lower_bound(from, copies.end(), Copy{s + 1, 0, 0});
            ofOne.assign(from, to);
            settle(s, k, ofOne);
        }
    }
}

std::vector<std::uint32_t> SentExchanges::ownValues(std::uint32_t station, std::size_t part)
{
    std::vector<std::uint32_t> values;
    if (station >= logs_.stations.size())
        return values;
    const Station& st = logs_.stations[station];
    for (std::uint32_t i = st.first; i < st.first + st.count; ++i)
        values.push_back(sentParts(i)[part]);
    return values;
}

// copies: the station's, sorted by value, then voter.
void SentExchanges::settle(std::uint32_t station, std::size_t part, const std::vector<Copy>& copies)
{
    const bool name = reader_.rules().parts[part].kind == PartKind::Name;
    const std::vector<std::uint32_t> own = ownValues(station, part);
    std::vector<std::uint32_t> copied;
    copied.reserve(copies.size());
    for (const Copy& c : copies)
        copied.push_back(c.value);
    SentPart& sent = sent_[station * reader_.rules().parts.size() + part];
    // A number that varies from QSO to QSO is a serial, whatever the contest expects.
    const bool ownTells = std::count_if(own.begin(), own.end(), [](std::uint32_t v) { return v != kNoValue; }) >=
                          static_cast<std::ptrdiff_t>(kValuesToTellVarying);
    sent.varies = !name && noValueRepeats(ownTells ? own : copied);
    if (!sent.varies)
        sent.accepted = agreedValues(name, own, copies);
}

std::vector<std::uint32_t> SentExchanges::agreedValues(bool name, const std::vector<std::uint32_t>& own,
                                                       const std::vector<Copy>& copies)
{
    // One voice per partner and value. A partner who wrote no name chose to, and says
    // nothing of it; "no number" copied by partners ("NM") is what was sent.
    std::map<std::uint32_t, std::uint32_t> voices, partnerVoices;
    for (std::size_t c = 0; c < copies.size(); ++c) {
        const bool repeat = c > 0 && copies[c].value == copies[c - 1].value && copies[c].voter == copies[c - 1].voter;
        if (repeat || (name && copies[c].value == kNoValue))
            continue;
        ++voices[copies[c].value];
        ++partnerVoices[copies[c].value];
    }
    // The sender's own log is one voice, and silent where it lacks the part.
    std::vector<std::uint32_t> ownGiven = own;
    ownGiven.erase(std::remove(ownGiven.begin(), ownGiven.end(), kNoValue), ownGiven.end());
    const std::uint32_t ownValue = mostFrequent(ownGiven, kNoValue);
    if (ownValue != kNoValue)
        ++voices[ownValue];

    std::uint32_t most = 0;
    for (const auto& [value, n] : voices)
        most = std::max(most, n);
    std::vector<std::uint32_t> agreed;
    // Among equals the sender's own log decides; without it, each is given the benefit.
    if (ownValue != kNoValue && voices[ownValue] == most)
        agreed.push_back(ownValue);
    else
        for (const auto& [value, n] : voices)
            if (n == most)
                agreed.push_back(value);
    for (const auto& [value, n] : partnerVoices)
        if (n >= kVariantVoters && value != kNoValue && std::find(agreed.begin(), agreed.end(), value) == agreed.end())
            agreed.push_back(value);
    return agreed;
}

bool SentExchanges::partRight(std::size_t part, std::uint32_t got, const std::uint32_t* accepted, std::size_t count) const
{
    if (count == 0 || std::find(accepted, accepted + count, got) != accepted + count)
        return true;
    const ExchangeRules& rules = reader_.rules();
    return got == kNoValue && rules.parts[part].kind == PartKind::Name && !rules.missingNameIsBust;
}

bool SentExchanges::copiedRight(std::uint32_t receiver, std::uint32_t sender)
{
    // Nearly every exchange of a serial contest is a lone number on both sides: then
    // the numbers say it, without reading any parts.
    const std::uint32_t got = logs_.qsos[receiver].received, sent = logs_.qsos[sender].sent;
    if (serialOnly_ && loneNumber(got) && loneNumber(sent))
        return got == sent;
    return partsRight(receivedParts(receiver), owner_[sender], &sentParts(sender));
}

bool SentExchanges::copiedRightWithoutLog(std::uint32_t receiver)
{
    const std::uint32_t sender = senderWithoutLog(receiver);
    return sender >= senders_ || partsRight(receivedParts(receiver), sender, nullptr);
}

// line: the sender's own line for the QSO, when it sent a log.
bool SentExchanges::partsRight(const PartValues& got, std::uint32_t sender, const PartValues* line)
{
    const std::size_t n = reader_.rules().parts.size();
    for (std::size_t k = 0; k < n; ++k) {
        const SentPart& sent = sent_[sender * n + k];
        // A line that lacks the part, or no line at all, cannot hold it against the receiver.
        const bool fromLine = line && (*line)[k] != kNoValue;
        const bool right = sent.varies ? partRight(k, got[k], fromLine ? &(*line)[k] : nullptr, fromLine ? 1 : 0)
                                       : partRight(k, got[k], sent.accepted.data(), sent.accepted.size());
        if (!right)
            return false;
    }
    return true;
}

// seen[from, to): one sender's copies, by partner.
void SentExchanges::tallyPartners(const std::vector<Seen>& seen, std::size_t from, std::size_t to, SenderView& view)
{
    std::vector<std::uint32_t> rightCopies;
    for (std::size_t a = from, b = from; a < to; a = b) {
        bool allRight = true;
        for (; b < to && seen[b].voter == seen[a].voter; ++b) {
            allRight = allRight && seen[b].right;
            if (seen[b].right)
                rightCopies.push_back(logs_.qsos[seen[b].index].received);
        }
        ++view.partners;
        view.agreeing += allRight ? 1 : 0;
    }
    const std::uint32_t copied = mostFrequent(rightCopies, kNoValue);
    if (copied != kNoValue)
        view.copied = exchangeText(copied, logs_.exchanges);
}

void SentExchanges::views(std::vector<SenderView>& byStation, std::unordered_map<std::uint32_t, SenderView>& byCall)
{
    byStation.clear();
    byCall.clear();
    if (!reader_.rules().hasConstantPart())
        return;
    std::vector<SenderView> views(senders_);
    std::vector<Seen> seen;
    for (std::uint32_t i = 0; i < logs_.qsos.size(); ++i) {
        if (partner_[i] != kNoIndex)
            seen.push_back({owner_[partner_[i]], owner_[i], i, copiedRight(i, partner_[i])});
        else if (const std::uint32_t sender = senderWithoutLog(i); sender != kNoIndex)
            seen.push_back({sender, owner_[i], i, copiedRightWithoutLog(i)});
    }
    std::sort(seen.begin(), seen.end(), [](const Seen& a, const Seen& b) {
        return std::tie(a.sender, a.voter, a.index) < std::tie(b.sender, b.voter, b.index);
    });
    for (std::size_t a = 0, b = 0; a < seen.size(); a = b) {
        while (b < seen.size() && seen[b].sender == seen[a].sender)
            ++b;
        tallyPartners(seen, a, b, views[seen[a].sender]);
    }
    const std::uint32_t stations = static_cast<std::uint32_t>(logs_.stations.size());
    for (std::uint32_t s = 0; s < stations; ++s) {
        const Station& st = logs_.stations[s];
        std::vector<std::uint32_t> own;
        for (std::uint32_t i = st.first; i < st.first + st.count; ++i)
            own.push_back(logs_.qsos[i].sent);
        if (!own.empty())
            views[s].ownLog = exchangeText(mostFrequent(own, kNoValue), logs_.exchanges);
    }
    for (std::uint32_t s = stations; s < senders_; ++s)
        if (views[s].partners > 0)
            byCall.emplace(s - stations, std::move(views[s]));
    views.resize(stations);
    byStation = std::move(views);
}

} // namespace korvane::judge

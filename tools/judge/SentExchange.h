#pragma once
// What each station sent, settled as a log checker settles it: a constant part (a
// name, a member number) by the agreement of everyone who copied it, the station's own
// log being one voice; a varying part (a serial) from the station's own line for that
// QSO. A receiver is busted only against that, so a sender's incomplete or wrong log
// ("KOOS" with no number, a template text) costs its partners nothing.

#include "tools/judge/ContestLogs.h"
#include "tools/judge/ExchangeParts.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvane::judge {

// How a station's partners copied its exchange, for its report.
struct SenderView {
    std::uint32_t partners = 0; // stations with a matched QSO that copied it
    std::uint32_t agreeing = 0; // of them, those whose every copy was right
    std::string copied;         // the right copy written most often, as stored
    std::string ownLog;         // what the station's own log gives most often
};

class SentExchanges {
public:
    // partner: by QSO, the other side's matched QSO, or kNoIndex.
    SentExchanges(const ContestLogs& logs, const std::vector<std::uint32_t>& partner, const ExchangeRules& rules);

    // Whether the QSO `receiver` took down what the other side, QSO `sender`, sent.
    bool copiedRight(std::uint32_t receiver, std::uint32_t sender);
    // The same for a QSO with a station that sent no log: its constant parts as most
    // of those who worked it copied them.
    bool copiedRightWithoutLog(std::uint32_t receiver);
    // By station, and by call id for the calls that sent no log; both left empty when
    // no part is constant, for then each line says what was sent.
    void views(std::vector<SenderView>& byStation, std::unordered_map<std::uint32_t, SenderView>& byCall);

private:
    // One part of one station's exchange.
    struct SentPart {
        bool varies = true; // read from the sender's line of each QSO
        std::vector<std::uint32_t> accepted; // else: the values taken as sent; empty: any
    };
    // A sender is a station, or a call without a log at stations.size() + its id.
    struct Copy {
        std::uint32_t sender, voter, value;
        bool operator<(const Copy& o) const;
    };

    // A partner's copy of a sender's exchange, and whether it was right.
    struct Seen {
        std::uint32_t sender, voter, index;
        bool right;
    };

    std::uint32_t senderWithoutLog(std::uint32_t index) const;
    static std::vector<std::uint32_t> agreedValues(bool name, const std::vector<std::uint32_t>& own,
                                                   const std::vector<Copy>& copies);
    void tallyPartners(const std::vector<Seen>& seen, std::size_t from, std::size_t to, SenderView& view);
    bool partsRight(const PartValues& got, std::uint32_t sender, const PartValues* line);
    const PartValues& sentParts(std::uint32_t index);
    const PartValues& receivedParts(std::uint32_t index);
    void settleConstantParts();
    void settle(std::uint32_t station, std::size_t part, const std::vector<Copy>& copies);
    std::vector<std::uint32_t> ownValues(std::uint32_t station, std::size_t part);
    // accepted: count values; none means any value is right.
    bool partRight(std::size_t part, std::uint32_t got, const std::uint32_t* accepted, std::size_t count) const;

    const ContestLogs& logs_;
    const std::vector<std::uint32_t>& partner_;
    ExchangeReader reader_;
    std::vector<std::uint32_t> owner_; // by QSO: its station
    bool serialOnly_ = false;          // the exchange is one serial
    std::size_t senders_ = 0;          // stations, then the calls without a log
    std::vector<SentPart> sent_;       // by sender, then part
};

} // namespace korvane::judge

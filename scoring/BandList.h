#pragma once
// The distinct band texts seen, in the order first seen. The summary sorts it in
// place, so later bands are appended behind the sorted part.

#include <string>
#include <unordered_set>
#include <vector>

class BandList {
public:
    // Appends band unless an identical text (byte for byte) is already there; true when
    // it did. On failure (out of memory) the list is as it was.
    bool addIfNew(const std::string& band);
    // Takes back the band that the last addIfNew appended, when nothing has sorted the
    // list since (an add of a QSO that failed after its band was listed).
    void removeLast() noexcept;
    void clear();

    std::size_t size() const { return bands_.size(); }
    const std::string& operator[](std::size_t i) const { return bands_[i]; }
    const std::vector<std::string>& items() const { return bands_; }

    // Descending order of the texts left-padded with '0' to 20 bytes, so whole numbers
    // sort largest first (160, 80, 40). The exchange sort is kept as it is because it
    // decides the order of texts that pad to the same key.
    void sortDescending();

private:
    std::vector<std::string> bands_;
    std::unordered_set<std::string> known_;
};

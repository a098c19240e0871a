#include "scoring/BandList.h"

#include <doctest/doctest.h>

namespace {

std::vector<std::string> sorted(std::initializer_list<const char*> bands)
{
    BandList list;
    for (const char* b : bands)
        list.addIfNew(b);
    list.sortDescending();
    return list.items();
}

using V = std::vector<std::string>;

} // namespace

TEST_CASE("bands are distinct byte for byte, in the order first seen")
{
    BandList list;
    for (const char* b : {"80", "160", "80", "80 ", "40", "160"})
        list.addIfNew(b);
    CHECK(list.items() == V{"80", "160", "80 ", "40"});
    list.clear();
    CHECK(list.size() == 0);
    list.addIfNew("80");
    CHECK(list.items() == V{"80"});
}

TEST_CASE("numeric bands sort largest first; texts by their zero-padded bytes")
{
    CHECK(sorted({"40", "160", "80", "10"}) == V{"160", "80", "40", "10"});
    CHECK(sorted({"2", "70", "23cm"}) == V{"23cm", "70", "2"}); // "23cm" pads above digits
    CHECK(sorted({"SSB", "sat"}) == V{"sat", "SSB"});
    // 20 bytes and longer compare unpadded.
    CHECK(sorted({"9", "12345678901234567890"}) == V{"12345678901234567890", "9"});
    // Texts that pad to one key keep the exchange sort's order.
    CHECK(sorted({"80", "080", "0080"}) == V{"80", "080", "0080"});
}

TEST_CASE("bands added after a sort go behind the sorted part")
{
    BandList list;
    for (const char* b : {"40", "160"})
        list.addIfNew(b);
    list.sortDescending();
    list.addIfNew("80");
    CHECK(list.items() == V{"160", "40", "80"});
}

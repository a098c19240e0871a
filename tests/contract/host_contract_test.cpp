// The argument lists of HostContract.h against the host's decorated names. The host
// calls through the decorated name with the types that name encodes; the exports are
// compiled against the typedefs. A typedef edited together with its export would still
// compile, so the typedefs are checked here against the names, type by type.
#include "contract/HostContract.h"

#include <doctest/doctest.h>

#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

namespace {

enum class Tag { Void, Int, Unsigned, Double, Text, CharBuffer, IntPointer, DatePointer, Unknown };

std::string tagName(Tag t)
{
    switch (t) {
    case Tag::Void: return "void";
    case Tag::Int: return "int";
    case Tag::Unsigned: return "unsigned";
    case Tag::Double: return "double";
    case Tag::Text: return "const char*";
    case Tag::CharBuffer: return "char*";
    case Tag::IntPointer: return "int*";
    case Tag::DatePointer: return "COleDateTime*";
    case Tag::Unknown: break;
    }
    return "?";
}

std::string describe(const std::vector<Tag>& tags)
{
    std::string out;
    for (Tag t : tags)
        out += (out.empty() ? "" : ", ") + tagName(t);
    return out;
}

// ---- The typedef side -------------------------------------------------------------

template <typename T>
constexpr Tag tagOf()
{
    if constexpr (std::is_same_v<T, void>)
        return Tag::Void;
    else if constexpr (std::is_same_v<T, int>)
        return Tag::Int;
    else if constexpr (std::is_same_v<T, unsigned>)
        return Tag::Unsigned;
    else if constexpr (std::is_same_v<T, double>)
        return Tag::Double;
    else if constexpr (std::is_same_v<T, const char*>)
        return Tag::Text;
    else if constexpr (std::is_same_v<T, char*>)
        return Tag::CharBuffer;
    else if constexpr (std::is_same_v<T, int*>)
        return Tag::IntPointer;
    else if constexpr (std::is_same_v<T, COleDateTime*>)
        return Tag::DatePointer;
    else
        return Tag::Unknown;
}

struct Signature {
    Tag result;
    std::vector<Tag> params;
};

template <typename R, typename... Args>
Signature signatureOf(R (*)(Args...))
{
    return Signature{tagOf<R>(), {tagOf<Args>()...}};
}

// ---- The name side ----------------------------------------------------------------

struct Decoded {
    std::string error; // empty when the name was understood to its end
    Signature signature;
};

// Reads one type code at `at`: a one-letter code, a pointer code, or a digit that repeats
// the nth type of more than one letter met so far in the argument list.
Tag readType(const std::string& name, std::size_t& at, const std::vector<Tag>& repeats,
             std::string& error)
{
    if (at >= name.size()) {
        error = "ends inside a type";
        return Tag::Unknown;
    }
    const char c = name[at];
    if (c >= '0' && c <= '9') {
        ++at;
        const std::size_t index = static_cast<std::size_t>(c - '0');
        if (index >= repeats.size()) {
            error = std::string("back-reference ") + c + " to a type not seen";
            return Tag::Unknown;
        }
        return repeats[index];
    }
    struct Code {
        const char* text;
        Tag tag;
    };
    static const Code codes[] = {
        {"PAVCOleDateTime@@", Tag::DatePointer},
        {"PBD", Tag::Text},
        {"PAD", Tag::CharBuffer},
        {"PAH", Tag::IntPointer},
        {"H", Tag::Int},
        {"I", Tag::Unsigned},
        {"N", Tag::Double},
        {"X", Tag::Void},
    };
    for (const Code& code : codes) {
        if (name.compare(at, std::string(code.text).size(), code.text) == 0) {
            at += std::string(code.text).size();
            return code.tag;
        }
    }
    error = "unknown type code at " + name.substr(at);
    return Tag::Unknown;
}

// "?name@@YA" (a free function, cdecl), the result type, then the arguments up to "@"
// or the single "X" of an empty list, then "Z".
Decoded decode(const std::string& name)
{
    Decoded d;
    const std::size_t nameEnd = name.find("@@YA");
    if (name.empty() || name[0] != '?' || nameEnd == std::string::npos) {
        d.error = "not a decorated cdecl function name";
        return d;
    }
    std::size_t at = nameEnd + 4;
    std::vector<Tag> repeats;
    d.signature.result = readType(name, at, repeats, d.error);
    if (!d.error.empty())
        return d;
    if (name.compare(at, 2, "XZ") == 0) {
        at += 2;
    } else {
        while (at < name.size() && name[at] != '@') {
            const std::size_t start = at;
            const Tag t = readType(name, at, repeats, d.error);
            if (!d.error.empty())
                return d;
            if (t == Tag::Void) {
                d.error = "void among the arguments";
                return d;
            }
            if (at - start > 1)
                repeats.push_back(t);
            d.signature.params.push_back(t);
        }
        if (name.compare(at, 2, "@Z") != 0) {
            d.error = "the argument list does not end in @Z";
            return d;
        }
        at += 2;
    }
    if (at != name.size())
        d.error = "text after the end: " + name.substr(at);
    return d;
}

std::string readTextFile(std::string path)
{
#if defined(_WIN32)
    path = "Z:" + path; // the source tree as Wine sees it
#endif
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

// The decorated names of the export table: `"?name..." = Plain` lines.
std::vector<std::pair<std::string, std::string>> definitionFileAliases(const std::string& def)
{
    std::vector<std::pair<std::string, std::string>> aliases;
    std::size_t at = 0;
    while ((at = def.find('"', at)) != std::string::npos) {
        const std::size_t close = def.find('"', at + 1);
        const std::size_t eq = def.find('=', close);
        const std::size_t lineEnd = def.find_first_of("\r\n", close);
        if (close == std::string::npos || eq == std::string::npos || eq > lineEnd)
            break;
        std::size_t plainStart = def.find_first_not_of(' ', eq + 1);
        std::string plain = def.substr(plainStart, lineEnd - plainStart);
        plain.erase(plain.find_last_not_of(' ') + 1);
        aliases.emplace_back(def.substr(at + 1, close - at - 1), plain);
        at = lineEnd;
    }
    return aliases;
}

struct Export {
    const char* plain;
    const char* decorated; // as the host looks it up
    host::ExportName header;
    Signature typedefs;
};

const Export kExports[] = {
    {"AddData0", "?AddData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z",
     host::kAddData, signatureOf(host::QsoDataFn{})},
    {"RemoveData0", "?RemoveData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z",
     host::kRemoveData, signatureOf(host::QsoDataFn{})},
    {"ResetStats0", "?ResetStats0@@YAHPBDH0PAVCOleDateTime@@10000000000HHHNN000@Z",
     host::kResetStats, signatureOf(host::ResetStatsFn{})},
    {"CheckCall0", "?CheckCallFunc0@@YAHPBDII00000000000HHHNN0000000PAD1@Z", host::kCheckCall,
     signatureOf(host::CheckCallFn{})},
    {"GetResult0", "?GetResult0@@YAPBDPAH@Z", host::kGetResult, signatureOf(host::GetResultFn{})},
    {"GetNumberOfSets", "?GetNumberOfSets@@YAHXZ", host::kGetNumberOfSets,
     signatureOf(host::GetNumberOfSetsFn{})},
    {"GetSetName", "?GetSetName@@YAPBDH@Z", host::kGetSetName, signatureOf(host::GetSetNameFn{})},
    {"SetupSet0", "?SetupSet0@@YAXXZ", host::kSetupSet, signatureOf(host::SetupSetFn{})},
    {"GetExchgCount0", "?StatsGetExchgCount0@@YAHPBD00@Z", host::kGetExchgCount,
     signatureOf(host::GetExchgCountFn{})},
    {"IsValidExchg0", "?StatsIsValidExchg0@@YAHPBD000HHH@Z", host::kIsValidExchg,
     signatureOf(host::IsValidExchgFn{})},
};

} // namespace

TEST_CASE("the decoder reads the codes of a decorated name")
{
    struct Case {
        const char* name;
        const char* expected; // result; arguments, or the start of the error
    };
    const Case cases[] = {
        /* 1 */ {"?f@@YAHXZ", "int; "},
        /* 2 */ {"?f@@YAXXZ", "void; "},
        /* 3 */ {"?f@@YAPBDPAH@Z", "const char*; int*"},
        /* 4 */ {"?f@@YAHPBDHI0N@Z", "int; const char*, int, unsigned, const char*, double"},
        /* 5 */ {"?f@@YAHPAHPAVCOleDateTime@@10@Z",
                 "int; int*, COleDateTime*, COleDateTime*, int*"},
        /* 6 */ {"?f@@YAHPADH0@Z", "int; char*, int, char*"},
        /* 7 */ {"?f@@YAHH0@Z", "error: back-reference 0"},  // one-letter types are not kept
        /* 8 */ {"?f@@YAHPBD@", "error: the argument list does not end"},
        /* 9 */ {"?f@@YAHPBD@Z@", "error: text after the end"},
        /* 10 */ {"?f@@YAHPBF@Z", "error: unknown type code"},
        /* 11 */ {"?f@@YGHXZ", "error: not a decorated cdecl"},
        /* 12 */ {"?f@@YAHXH@Z", "error: void among"},
    };
    for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        CAPTURE(i + 1);
        const Decoded d = decode(cases[i].name);
        const Signature& sig = d.signature;
        const std::string got = d.error.empty()
                                    ? tagName(sig.result) + "; " + describe(sig.params)
                                    : "error: " + d.error;
        CHECK(got.substr(0, std::string(cases[i].expected).size()) == cases[i].expected);
    }
}

TEST_CASE("every argument list of the contract is the one its decorated name encodes")
{
    for (const Export& e : kExports) {
        const std::string plain = e.plain;
        CAPTURE(plain);
        CHECK(e.header.plain == plain);
        CHECK(e.header.decorated == std::string(e.decorated));
        const Decoded d = decode(e.decorated);
        REQUIRE_MESSAGE(d.error.empty(), d.error);
        CHECK(tagName(e.typedefs.result) == tagName(d.signature.result));
        CHECK(e.typedefs.params.size() == d.signature.params.size());
        for (std::size_t i = 0; i < d.signature.params.size() && i < e.typedefs.params.size();
             ++i) {
            CAPTURE(i + 1); // the host's position
            CHECK(tagName(e.typedefs.params[i]) == tagName(d.signature.params[i]));
        }
    }
    CHECK(sizeof host::kAllExports / sizeof host::kAllExports[0] == 10);
}

TEST_CASE("the export table gives every export the decorated name the host looks up")
{
    const std::string source = __FILE__;
    const std::string root = source.substr(0, source.rfind("tests/contract/"));
    const std::string def = readTextFile(root + "plugin/Stats.def");
    REQUIRE_MESSAGE(!def.empty(), "cannot read " << root << "plugin/Stats.def");
    const auto aliases = definitionFileAliases(def);
    CHECK(aliases.size() == 10);
    for (const Export& e : kExports) {
        const std::string plain = e.plain;
        CAPTURE(plain);
        bool found = false;
        for (const auto& alias : aliases)
            found = found || (alias.first == e.decorated && alias.second == plain);
        CHECK(found);
    }
}

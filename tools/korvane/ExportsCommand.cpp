// korvane exports: the twenty names the host may look up, and whether each plain name
// and its decorated name lead to one function.
#include "tools/korvane/Commands.h"

#include <cstdio>

namespace korvane {
namespace {

const char* yesNo(bool v) { return v ? "yes" : "no"; }

} // namespace

int runExports(const PluginChoice& choice)
{
    const std::string path = choice.path.empty() ? defaultPluginPath() : choice.path;
    host::DynamicLibrary library;
    if (!library.open(path)) {
        std::fprintf(stderr, "korvane: cannot load %s: %s\n", path.c_str(), library.error().c_str());
        return kExitFailed;
    }
#if defined(_WIN32)
    const bool decoratedExpected = true;
#else
    const bool decoratedExpected = false; // a shared object carries the plain names only
#endif
    std::printf("%s\n%-16s %-6s %-10s %s\n", path.c_str(), "export", "plain", "decorated",
                "one function");
    bool ok = true;
    for (const host::ExportName& name : host::kAllExports) {
        void* plain = library.find(name.plain);
        void* decorated = library.find(name.decorated);
        const bool pairOk = plain && (decorated ? decorated == plain : !decoratedExpected);
        ok = ok && pairOk;
        std::printf("%-16s %-6s %-10s %s\n", name.plain, yesNo(plain),
                    decorated ? "yes" : (decoratedExpected ? "no" : "-"),
                    pairOk ? "yes" : "NO");
    }
    std::printf("%s (for stand-in hosts, not the host): %s\n", host::kSetTourClock,
                library.find(host::kSetTourClock) ? "present" : "absent");
    std::printf("%s\n", ok ? "Every export resolves as the host expects."
                           : "Some exports do not resolve as the host expects.");
    return ok ? kExitOk : kExitFailed;
}

} // namespace korvane

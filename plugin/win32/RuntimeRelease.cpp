// The C++ runtime linked statically into the DLL sets aside an emergency buffer for
// exceptions when the DLL loads and never frees it: about 18 KB lost at every
// FreeLibrary, so a host that loads and unloads the plug-in repeatedly would grow
// without bound. The runtime offers __gnu_cxx::__freeres for this; it must run after
// every other static object is gone, so it runs from the first object built.
namespace __gnu_cxx {
void __freeres() noexcept; // NOLINT(bugprone-reserved-identifier)
} // namespace __gnu_cxx

namespace {

struct RuntimeRelease {
    ~RuntimeRelease() { __gnu_cxx::__freeres(); }
};

// Priority 101 is built before, and so destroyed after, every ordinary static object.
__attribute__((init_priority(101))) RuntimeRelease releaseAtUnload;

} // namespace

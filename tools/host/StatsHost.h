#pragma once
// Stands in for the host logging program: loads the plug-in by path, resolves every
// export by its plain or its decorated name, and calls it with the host's full
// argument lists. Unused positions carry distinct values, so a shifted argument shows.

#include "tools/host/DynamicLibrary.h"
#include "contract/HostContract.h"
#include "tools/host/Qso.h"

#include <string>

namespace host {

enum class NameKind { Plain, Decorated };

class StatsHost {
public:
    // False with a reason when the library or any of its ten exports is missing.
    bool load(const std::string& path, NameKind names, std::string* error);
    void unload();

    int add(const Qso& qso);
    int remove(const Qso& qso);
    int reset(int reportRequested, const std::string& ownCall, COleDateTime start,
              COleDateTime end, const std::string& listFilter);
    // The message (Windows-1251 bytes) goes to message when the call is refused.
    int check(const std::string& call, const std::string& mode, const std::string& band,
              std::string* message);
    std::string result(int* score);

    QsoDataFn addData = nullptr;
    QsoDataFn removeData = nullptr;
    ResetStatsFn resetStats = nullptr;
    CheckCallFn checkCall = nullptr;
    GetResultFn getResult = nullptr;
    GetNumberOfSetsFn getNumberOfSets = nullptr;
    GetSetNameFn getSetName = nullptr;
    SetupSetFn setupSet = nullptr;
    GetExchgCountFn getExchgCount = nullptr;
    IsValidExchgFn isValidExchg = nullptr;

    DynamicLibrary& library() { return library_; }

private:
    DynamicLibrary library_;
};

} // namespace host

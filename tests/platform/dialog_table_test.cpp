// The dialog layer's message tables and initialisation data, as plain data: no window
// is created here.
#include "platform/Dialog.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using namespace platform::dialog;

namespace {

class Settings : public Dialog {
public:
    Settings() : Dialog(7) {}
    Result onTimer(const Message& m) { return 10 + static_cast<Result>(m.wParam); }
    void onApply() { ++applied; }
    int applied = 0;

    static const MessageTable kMessages;

protected:
    const MessageTable& messageTable() const override { return kMessages; }

private:
    static const MessageEntry kEntries[];
};
const MessageEntry Settings::kEntries[] = {
    onMessage<Settings, &Settings::onTimer>(kTimer),
    onCommand<Settings, &Settings::onApply>(1003),
};
const MessageTable Settings::kMessages = makeTable(&Dialog::kMessages, Settings::kEntries);

// Chains to Settings and takes over its timer.
class Special : public Settings {
public:
    Result onOwnTimer(const Message&) { return 99; }
    Result onPrivate(const Message&) { return 0; } // handled, but asks for the default too

    static const MessageTable kMessages;

protected:
    const MessageTable& messageTable() const override { return kMessages; }

private:
    static const MessageEntry kEntries[];
};
const MessageEntry Special::kEntries[] = {
    onMessage<Special, &Special::onOwnTimer>(kTimer),
    onMessage<Special, &Special::onPrivate>(kPrivateFirst + 1),
};
const MessageTable Special::kMessages = makeTable(&Settings::kMessages, Special::kEntries);

// A notification code other than a click, as an edit control's change (EN_CHANGE).
constexpr unsigned kOtherCode = 0x0300;

Message command(int id, unsigned code = kClicked) { return Message{kCommand, makeCommand(id, code), 0}; }

bool inTable(const MessageTable& t, const MessageEntry* e)
{
    return e >= t.entries && e < t.entries + t.count;
}

std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

} // namespace

TEST_CASE("a message goes to the first table in the chain that lists it")
{
    const Message timer{kTimer, 5, 0};
    const MessageEntry* e = findHandler(Settings::kMessages, timer);
    REQUIRE(e != nullptr);
    CHECK(inTable(Settings::kMessages, e));
    CHECK(e->kind == EntryKind::Message);

    const MessageEntry* own = findHandler(Special::kMessages, timer);
    REQUIRE(own != nullptr);
    CHECK(inTable(Special::kMessages, own));

    // Not in the derived tables: the base dialog's entries answer.
    for (const MessageTable* t : {&Settings::kMessages, &Special::kMessages}) {
        const MessageEntry* init = findHandler(*t, Message{kInitDialog, 0, 0});
        REQUIRE(init != nullptr);
        CHECK(Settings::kMessages.base != nullptr);
        CHECK(inTable(*Settings::kMessages.base, init));
        const MessageEntry* ok = findHandler(*t, command(kIdOk));
        const MessageEntry* cancel = findHandler(*t, command(kIdCancel));
        REQUIRE(ok != nullptr);
        REQUIRE(cancel != nullptr);
        CHECK(inTable(*Settings::kMessages.base, ok));
        CHECK(ok->controlId == kIdOk);
        CHECK(cancel->controlId == kIdCancel);
    }
    CHECK(Settings::kMessages.base->base == nullptr); // the chain ends in the base dialog

    // Nobody lists these: the default handling is due.
    CHECK(findHandler(Special::kMessages, Message{kClose, 0, 0}) == nullptr);
    CHECK(findHandler(Special::kMessages, Message{kPrivateFirst, 0, 0}) == nullptr);
}

TEST_CASE("command entries match their control id and notification code only")
{
    const MessageEntry* apply = findHandler(Special::kMessages, command(1003));
    REQUIRE(apply != nullptr);
    CHECK(apply->kind == EntryKind::Command);
    CHECK(inTable(Settings::kMessages, apply));
    CHECK(findHandler(Special::kMessages, command(1004)) == nullptr);
    CHECK(findHandler(Special::kMessages, command(1003, kOtherCode)) == nullptr);
    CHECK(findHandler(Special::kMessages, command(kIdOk, kOtherCode)) == nullptr);
    // A plain message with the same number as a command id is not a command.
    CHECK(findHandler(Special::kMessages, Message{1003, 0, 0}) == nullptr);
}

TEST_CASE("dispatch runs the member function of the dialog it is given")
{
    Special s;
    Result result = -5;
    CHECK(s.dispatch(Message{kTimer, 3, 0}, result));
    CHECK(result == 99);
    Settings plain;
    CHECK(plain.dispatch(Message{kTimer, 3, 0}, result));
    CHECK(result == 13);
    CHECK(plain.dispatch(command(1003), result));
    CHECK(plain.applied == 1);
    CHECK(result == 1);
    // Found, but a zero result leaves the rest to the default handling.
    CHECK_FALSE(s.dispatch(Message{kPrivateFirst + 1, 0, 0}, result));
    CHECK(result == 0);
    CHECK_FALSE(s.dispatch(Message{kClose, 0, 0}, result));
    // Without a window, OK and Cancel end nothing and do no harm.
    CHECK(plain.dispatch(command(kIdOk), result));
    CHECK(plain.dispatch(command(kIdCancel), result));
    CHECK(plain.handle() == nullptr);
}

TEST_CASE("command words pack the control id low and the code high")
{
    const Message m = command(1016, 1);
    CHECK(m.wParam == 0x000103F8u);
    CHECK(commandId(m) == 1016);
    CHECK(notifyCode(m) == 1);
    CHECK(notifyCode(command(1016, kOtherCode)) == kOtherCode);
    CHECK(commandId(command(0xFFFF)) == 0xFFFF);
}

TEST_CASE("initialisation data: combo box additions up to the terminator")
{
    // Combo adds as resource compilers write them (0x0403) around records of other
    // messages (a list add, the Win32 number of a combo add, an unknown one), then the
    // terminator and a record after it.
    const std::string data =
        bytes({0xF5, 0x03, 0x03, 0x04, 4, 0, 0, 0}) + std::string("ALL\0", 4) +
        bytes({0xFB, 0x03, 0x01, 0x04, 3, 0, 0, 0}) + std::string("80\0", 3) +
        bytes({0xF6, 0x03, 0x43, 0x01, 5, 0, 0, 0}) + std::string("HIGH\0", 5) +
        bytes({0xF6, 0x03, 0x34, 0x12, 2, 0, 0, 0}) + std::string("x\0", 2) +
        bytes({0xF6, 0x03, 0x03, 0x04, 4, 0, 0, 0}) + std::string("LOW\0", 4) +
        bytes({0, 0}) + bytes({0xF6, 0x03, 0x03, 0x04, 2, 0, 0, 0}) + std::string("y\0", 2);
    const std::vector<InitEntry> entries = parseDialogInit(data.data(), data.size());
    REQUIRE(entries.size() == 2);
    CHECK(entries[0].controlId == 1013);
    CHECK(entries[0].text == "ALL");
    CHECK(entries[1].controlId == 1014);
    CHECK(entries[1].text == "LOW");
}

TEST_CASE("initialisation data: truncated or empty data gives what is whole")
{
    CHECK(parseDialogInit(nullptr, 0).empty());
    CHECK(parseDialogInit("", 0).empty());
    const std::string one = bytes({0xF5, 0x03, 0x03, 0x04, 4, 0, 0, 0}) + std::string("LOW\0", 4);
    CHECK(parseDialogInit(one.data(), one.size()).size() == 1); // no terminator: ends at the end
    CHECK(parseDialogInit(one.data(), one.size() - 1).empty()); // text cut short
    CHECK(parseDialogInit(one.data(), 5).empty());              // header cut short
    // A text without its NUL ends at the record's length.
    const std::string bare = bytes({0xF5, 0x03, 0x03, 0x04, 2, 0, 0, 0}) + "SO";
    const auto entries = parseDialogInit(bare.data(), bare.size());
    REQUIRE(entries.size() == 1);
    CHECK(entries[0].text == "SO");
}

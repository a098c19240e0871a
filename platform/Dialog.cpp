// The parts of the dialog layer that both backends share: message tables, dispatch, the
// base dialog's handlers, data exchange and the reading of initialisation data.
#include "platform/Dialog.h"
#include "contract/AsciiText.h"
#include "platform/DialogBackend.h"

#include <algorithm>

namespace platform::dialog {

const MessageEntry Dialog::kEntries[] = {
    onMessage<Dialog, &Dialog::initDialog>(kInitDialog),
    onCommand<Dialog, &Dialog::ok>(kIdOk),
    onCommand<Dialog, &Dialog::cancel>(kIdCancel),
};
const MessageTable Dialog::kMessages = makeTable(nullptr, Dialog::kEntries);

namespace {

bool matches(const MessageEntry& entry, const Message& message)
{
    if (entry.message != message.id)
        return false;
    if (entry.kind == EntryKind::Message)
        return true;
    return commandId(message) == (entry.controlId & 0xFFFF) && notifyCode(message) == entry.code;
}

// The message of a DLGINIT record that adds a text to a combo box: CB_ADDSTRING as
// resource compilers write it (WM_USER + 3), not the Win32 value 0x0143.
constexpr unsigned kComboAddRecord = 0x0403;

} // namespace

const MessageEntry* findHandler(const MessageTable& table, const Message& message)
{
    for (const MessageTable* t = &table; t; t = t->base) {
        for (std::size_t i = 0; i < t->count; ++i) {
            if (matches(t->entries[i], message))
                return &t->entries[i];
        }
    }
    return nullptr;
}

void DataExchange::text(int controlId, std::string& value)
{
    if (saving_)
        value = dialog_.itemText(controlId);
    else
        dialog_.setItemText(controlId, value);
}

void DataExchange::comboText(int controlId, std::string& value)
{
    if (saving_) {
        value = dialog_.itemText(controlId);
        return;
    }
    const int count = dialog_.comboCount(controlId);
    for (int i = 0; i < count; ++i) {
        if (ascii::startsWithNoCase(dialog_.comboEntry(controlId, i), value)) {
            dialog_.comboSelect(controlId, i);
            return;
        }
    }
    dialog_.setItemText(controlId, value);
}

std::vector<InitEntry> parseDialogInit(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    auto word = [&](std::size_t at) { return bytes[at] | (bytes[at + 1] << 8); };
    std::vector<InitEntry> entries;
    std::size_t at = 0;
    while (bytes && at + 2 <= size) {
        const int controlId = word(at);
        if (controlId == 0 || at + 8 > size)
            break;
        const unsigned message = static_cast<unsigned>(word(at + 2));
        const std::size_t length = static_cast<std::size_t>(word(at + 4)) |
                                   (static_cast<std::size_t>(word(at + 6)) << 16);
        at += 8;
        if (length > size - at)
            break;
        const char* text = reinterpret_cast<const char*>(bytes + at);
        const std::size_t textLength = static_cast<std::size_t>(
            std::find(text, text + length, '\0') - text);
        if (message == kComboAddRecord)
            entries.push_back({controlId, std::string(text, textLength)});
        at += length;
    }
    return entries;
}

bool Dialog::dispatch(const Message& message, Result& result)
{
    result = 0;
    const MessageEntry* entry = findHandler(messageTable(), message);
    if (!entry)
        return false;
    result = entry->handler(*this, message);
    return result != 0;
}

void Dialog::updateData(bool saving)
{
    DataExchange exchange(*this, saving);
    exchangeData(exchange);
}

Result Dialog::initDialog(const Message&) { return onInitDialog() ? 1 : 0; }

bool Dialog::onInitDialog()
{
    updateData(false);
    return true;
}

void Dialog::onOk()
{
    updateData(true);
    endDialog(kIdOk);
}

void Dialog::onCancel() { endDialog(kIdCancel); }

bool Dialog::setTimer(unsigned timerId, unsigned milliseconds)
{
    return handle_ && DialogBackend::startTimer(*this, timerId, milliseconds);
}

void Dialog::killTimer(unsigned timerId)
{
    if (handle_)
        DialogBackend::stopTimer(*this, timerId);
}

bool Dialog::postMessage(unsigned message, WParam wParam, LParam lParam)
{
    return handle_ && dialog::postMessage(handle_, message, wParam, lParam);
}

} // namespace platform::dialog

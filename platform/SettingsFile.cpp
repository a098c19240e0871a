#include "platform/SettingsFile.h"

#include "contract/AsciiText.h"
#include "platform/Platform.h"

#include <climits>
#include <vector>

namespace settings {

std::string read(const char* key, const char* defaultValue, std::size_t bufferSize)
{
    if (bufferSize == 0)
        return std::string();
    std::vector<char> buffer(bufferSize, '\0');
    std::size_t n = platform::ops().profileRead(kFile, kSection, key, defaultValue,
                                                buffer.data(), buffer.size());
    if (n >= bufferSize)
        n = bufferSize - 1;
    return std::string(buffer.data(), n);
}

bool write(const char* key, const std::string& value)
{
    return platform::ops().profileWrite(kFile, kSection, key, value.c_str());
}

int parseDecimal(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && ascii::isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && ascii::isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace settings

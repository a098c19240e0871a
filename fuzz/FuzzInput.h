#pragma once
// Reads typed values from a fuzzer's byte stream; an exhausted stream yields zeros and
// empty texts, so every input is a complete run.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }

    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    std::uint32_t u32()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = v << 8 | byte();
        return v;
    }

    double f64()
    {
        std::uint64_t bits = static_cast<std::uint64_t>(u32()) << 32 | u32();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }

    // A text of any bytes but NUL: its length is one byte, or with a flag a long run.
    std::string text()
    {
        const std::uint8_t head = byte();
        std::size_t length = head & 0x3f;
        if (head & 0x40)
            length = static_cast<std::size_t>(u32() % (1u << 16)); // up to 64 KiB
        std::string out;
        const std::size_t available = size_ - (pos_ < size_ ? pos_ : size_);
        const std::size_t fromInput = length < available ? length : available;
        for (std::size_t i = 0; i < fromInput; ++i) {
            const char c = static_cast<char>(data_[pos_++]);
            out += c ? c : '0';
        }
        out.resize(length, 'K'); // long texts beyond the input repeat a filler
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>

namespace kestrel::cli {

// Text built in a fixed buffer and handed to the stream whenever it fills,
// so that tens of megabytes of lines are never held at once and each small
// piece costs a copy, not a call into the string library.
class OutputBuffer {
public:
    explicit OutputBuffer(std::ostream& out)
        : mOut(out), mBuffer(new char[kSize]), mEnd(mBuffer.get()), mLimit(mEnd + kSize) {}
    ~OutputBuffer() { flush(); }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    void put(char c) {
        if (mEnd == mLimit)
            flush();
        *mEnd++ = c;
    }
    void put(std::string_view text) {
        if (text.size() > static_cast<std::size_t>(mLimit - mEnd)) {
            flush();
            if (text.size() > kSize) {
                mOut.write(text.data(), static_cast<std::streamsize>(text.size()));
                return;
            }
        }
        std::memcpy(mEnd, text.data(), text.size());
        mEnd += text.size();
    }
    void putNumber(std::int64_t value) {
        if (mLimit - mEnd < 24)
            flush();
        mEnd = std::to_chars(mEnd, mLimit, value).ptr;
    }
    void flush() {
        mOut.write(mBuffer.get(), mEnd - mBuffer.get());
        mEnd = mBuffer.get();
    }

private:
    static constexpr std::size_t kSize = 1 << 16;
    std::ostream& mOut;
    std::unique_ptr<char[]> mBuffer;
    char* mEnd;
    char* mLimit;
};

}  // namespace kestrel::cli

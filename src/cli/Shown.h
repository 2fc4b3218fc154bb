#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace kestrel::cli {

// User text as a message echoes it (a path, a cell, a line of the input, an
// argument): its control characters spelled out (\x1B, \r, \n, \t), so that
// it can neither drive the terminal nor split the message's line. The same
// spelling as the names in check's and diff's lines.
std::string Shown(std::string_view text);

// A value from the input (a cell, a line) as Shown gives it, cut to its
// first 60 bytes and "..." where longer, so that a message stays a line.
std::string ShownValue(std::string_view value);

// A message of several lines, each spelled out as Shown does.
std::string ShownLines(std::string_view message);

// The stream the tool's messages go to: every control character but the
// line end is spelled out on the way, for any text no message spelled itself.
class SpelledStream : public std::ostream {
public:
    explicit SpelledStream(std::ostream& to);

private:
    class Buffer : public std::streambuf {
    public:
        explicit Buffer(std::streambuf* to) : mTo(to) {}

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override;

    private:
        bool put(const char* s, std::streamsize n);
        std::streambuf* mTo;
    };
    Buffer mBuffer;
};

}  // namespace kestrel::cli

#include "cli/Shown.h"

#include "check/Problem.h"

namespace kestrel::cli {

namespace {

bool isControl(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::string Shown(std::string_view text) {
    return SpelledOut(Text(text));
}

std::string ShownValue(std::string_view value) {
    constexpr std::size_t kShown = 60;
    if (value.size() <= kShown)
        return Shown(value);
    return Shown(value.substr(0, kShown)) + "...";
}

std::string ShownLines(std::string_view message) {
    std::string shown;
    for (std::size_t start = 0;;) {
        std::size_t end = message.find('\n', start);
        shown += Shown(message.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return shown;
        shown += '\n';
        start = end + 1;
    }
}

SpelledStream::SpelledStream(std::ostream& to) : std::ostream(nullptr), mBuffer(to.rdbuf()) {
    rdbuf(&mBuffer);
}

SpelledStream::Buffer::int_type SpelledStream::Buffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    return put(&ch, 1) ? c : traits_type::eof();
}

std::streamsize SpelledStream::Buffer::xsputn(const char* s, std::streamsize n) {
    return put(s, n) ? n : 0;
}

int SpelledStream::Buffer::sync() {
    return mTo->pubsync();
}

bool SpelledStream::Buffer::put(const char* s, std::streamsize n) {
    std::streamsize start = 0;
    bool ok = true;
    for (std::streamsize i = 0; i < n; ++i) {
        if (!isControl(s[i]) || s[i] == '\n')
            continue;
        ok = mTo->sputn(s + start, i - start) == i - start && ok;
        const std::string spelled = Shown(std::string_view(s + i, 1));
        ok = mTo->sputn(spelled.data(), static_cast<std::streamsize>(spelled.size())) ==
                 static_cast<std::streamsize>(spelled.size()) &&
             ok;
        start = i + 1;
    }
    return mTo->sputn(s + start, n - start) == n - start && ok;
}

}  // namespace kestrel::cli

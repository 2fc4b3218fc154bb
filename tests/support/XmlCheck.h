#pragma once
// A strict reader of the XML our SVG writer makes: elements, attributes,
// character and entity references, an XML declaration and comments. It
// refuses what an XML parser refuses (tags that do not nest, a bare & or <,
// an attribute twice or unquoted, text outside the root, bytes that are not
// UTF-8 or are control characters) and gives the elements as a tree.

#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kestrel::testing {

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<std::unique_ptr<XmlElement>> children;
    std::string text;  // the element's own character data, references resolved

    const std::string* attribute(const std::string& key) const {
        for (const auto& [k, v] : attributes)
            if (k == key)
                return &v;
        return nullptr;
    }
    // Every element below this one called name, in document order.
    void collect(const std::string& wanted, std::vector<const XmlElement*>& found) const {
        for (const auto& c : children) {
            if (c->name == wanted)
                found.push_back(c.get());
            c->collect(wanted, found);
        }
    }
};

class XmlReader {
public:
    // The root element, or null with the reason in error().
    std::unique_ptr<XmlElement> read(const std::string& text) {
        mText = text;
        mAt = 0;
        mError.clear();
        if (!validUtf8())
            return nullptr;
        if (starts("<?xml")) {
            const auto end = mText.find("?>", mAt);
            if (end == std::string::npos)
                return fail("unclosed declaration");
            mAt = end + 2;
        }
        skipMisc();
        if (!starts("<"))
            return fail("no root element");
        auto root = element();
        if (!root)
            return nullptr;
        skipMisc();
        if (mAt != mText.size())
            return fail("content after the root element");
        return root;
    }
    const std::string& error() const { return mError; }

private:
    std::nullptr_t fail(const std::string& why) {
        if (mError.empty())
            mError = why + " at byte " + std::to_string(mAt);
        return nullptr;
    }
    bool starts(const char* s) const { return mText.compare(mAt, std::strlen(s), s) == 0; }
    static bool space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static bool nameChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' ||
               c == '.';
    }
    void skipSpace() {
        while (mAt < mText.size() && space(mText[mAt]))
            ++mAt;
    }
    void skipMisc() {
        for (;;) {
            skipSpace();
            if (!starts("<!--"))
                return;
            const auto end = mText.find("-->", mAt);
            mAt = end == std::string::npos ? mText.size() : end + 3;
        }
    }
    bool validUtf8() {
        for (std::size_t i = 0; i < mText.size();) {
            const auto b = static_cast<unsigned char>(mText[i]);
            std::size_t n = b < 0x80         ? 1
                            : (b >> 5) == 6  ? 2
                            : (b >> 4) == 14 ? 3
                            : (b >> 3) == 30 ? 4
                                             : 0;
            if (n == 0 || i + n > mText.size()) {
                mAt = i;
                return fail("not UTF-8"), false;
            }
            for (std::size_t k = 1; k < n; ++k) {
                if ((static_cast<unsigned char>(mText[i + k]) & 0xC0) != 0x80) {
                    mAt = i;
                    return fail("not UTF-8"), false;
                }
            }
            if (n == 1 && b < 0x20 && !space(static_cast<char>(b))) {
                mAt = i;
                return fail("a control character"), false;
            }
            i += n;
        }
        return true;
    }
    std::string name() {
        const std::size_t from = mAt;
        while (mAt < mText.size() && nameChar(mText[mAt]))
            ++mAt;
        return mText.substr(from, mAt - from);
    }
    // Character data up to stop, with its references resolved.
    bool characters(char stop, std::string& out) {
        while (mAt < mText.size() && mText[mAt] != stop) {
            const char c = mText[mAt];
            if (c == '<')
                return fail("a bare <"), false;
            if (c != '&') {
                out += c;
                ++mAt;
                continue;
            }
            const auto end = mText.find(';', mAt);
            if (end == std::string::npos)
                return fail("a bare &"), false;
            const std::string ref = mText.substr(mAt + 1, end - mAt - 1);
            if (ref == "amp")
                out += '&';
            else if (ref == "lt")
                out += '<';
            else if (ref == "gt")
                out += '>';
            else if (ref == "quot")
                out += '"';
            else if (ref == "apos")
                out += '\'';
            else if (ref.size() > 1 && ref[0] == '#')
                out += '?';
            else
                return fail("an unknown entity &" + ref + ";"), false;
            mAt = end + 1;
        }
        return true;
    }
    std::unique_ptr<XmlElement> element() {
        ++mAt;  // <
        auto e = std::make_unique<XmlElement>();
        e->name = name();
        if (e->name.empty())
            return fail("an element without a name");
        for (;;) {
            const std::size_t before = mAt;
            skipSpace();
            if (starts("/>")) {
                mAt += 2;
                return e;
            }
            if (starts(">")) {
                ++mAt;
                break;
            }
            if (mAt == before)
                return fail("no space before an attribute");
            const std::string key = name();
            if (key.empty() || !starts("=\""))
                return fail("an attribute that is not name=\"value\"");
            mAt += 2;
            if (e->attribute(key))
                return fail("attribute " + key + " twice");
            std::string value;
            if (!characters('"', value))
                return nullptr;
            if (mAt >= mText.size())
                return fail("an unclosed attribute");
            ++mAt;
            e->attributes.emplace_back(key, value);
        }
        for (;;) {
            if (!characters('<', e->text))
                return nullptr;
            if (mAt >= mText.size())
                return fail("<" + e->name + "> not closed");
            if (starts("<!--")) {
                skipMisc();
                continue;
            }
            if (starts("</")) {
                mAt += 2;
                if (name() != e->name || !starts(">"))
                    return fail("</...> does not close <" + e->name + ">");
                ++mAt;
                return e;
            }
            auto child = element();
            if (!child)
                return nullptr;
            e->children.push_back(std::move(child));
        }
    }

    std::string mText;
    std::size_t mAt = 0;
    std::string mError;
};

}  // namespace kestrel::testing

#include "ui/Description.h"

#include "support/TextCodec.h"

#include <cctype>

namespace promo {

std::wstring WideFromUtf8(std::string_view s) { return DecodeUtf8(s); }

std::vector<std::uint8_t> MakePictureStream(std::string_view className,
                                            const std::vector<std::uint8_t>& file) {
    std::vector<std::uint8_t> out;
    out.reserve(1 + className.size() + file.size());
    out.push_back(static_cast<std::uint8_t>(className.size()));
    out.insert(out.end(), className.begin(), className.end());
    out.insert(out.end(), file.begin(), file.end());
    return out;
}

bool SplitPictureStream(const std::uint8_t* data, std::size_t size, std::string& className,
                        const std::uint8_t*& file, std::size_t& fileSize) {
    if (!data || size < 1 || size < 1u + data[0]) return false;
    className.assign(reinterpret_cast<const char*>(data + 1), data[0]);
    file = data + 1 + data[0];
    fileSize = size - 1 - data[0];
    return true;
}

namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : s_(text) {}

    bool Run(TDescObject& root, std::wstring& error) {
        SkipSpace();
        const bool ok = ParseObject(root) && (SkipSpace(), AtEnd() || Fail("text after the last 'end'"));
        if (!ok) error = L"line " + std::to_wstring(errLine_) + L": " + WideFromUtf8(err_);
        return ok;
    }

private:
    bool AtEnd() const { return pos_ >= s_.size(); }
    char Peek() const { return AtEnd() ? '\0' : s_[pos_]; }

    bool Fail(const std::string& what) {
        if (err_.empty()) {
            err_ = what;
            errLine_ = line_;
        }
        return false;
    }

    void SkipSpace() {
        while (!AtEnd()) {
            const char c = s_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') {
                while (!AtEnd() && s_[pos_] != '\n') ++pos_;
            } else if (pos_ == 0 && s_.substr(0, 3) == "\xEF\xBB\xBF") {
                pos_ = 3;
            } else {
                break;
            }
        }
    }

    static bool IdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
    static bool IdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

    // An identifier, optionally dotted (Font.Height).
    bool Ident(std::string& out, bool dotted) {
        SkipSpace();
        if (!IdentStart(Peek())) return Fail("a name was expected");
        const size_t start = pos_;
        while (!AtEnd() && (IdentChar(s_[pos_]) || (dotted && s_[pos_] == '.'))) ++pos_;
        out.assign(s_.substr(start, pos_ - start));
        if (out.back() == '.') return Fail("a name may not end with '.'");
        return true;
    }

    bool Expect(char c) {
        SkipSpace();
        if (Peek() != c) return Fail(std::string("'") + c + "' was expected");
        ++pos_;
        return true;
    }

    bool Keyword(std::string_view word) {
        SkipSpace();
        const size_t save = pos_;
        std::string id;
        if (!IdentStart(Peek())) return false;
        while (!AtEnd() && IdentChar(s_[pos_])) id.push_back(s_[pos_++]);
        if (id == word) return true;
        pos_ = save;
        return false;
    }

    bool ParseObject(TDescObject& obj) {
        obj.Line = line_;
        if (!Keyword("object")) return Fail("'object' was expected");
        std::string name, cls;
        if (!Ident(name, false) || !Expect(':') || !Ident(cls, false)) return false;
        obj.Name = WideFromUtf8(name);
        obj.ClassName = WideFromUtf8(cls);
        for (;;) {
            SkipSpace();
            if (AtEnd()) return Fail("'end' of object '" + name + "' is missing");
            if (Keyword("end")) return true;
            if (Keyword("object")) {
                pos_ -= 6;
                obj.Children.emplace_back();
                if (!ParseObject(obj.Children.back())) return false;
                continue;
            }
            obj.Properties.emplace_back();
            if (!ParseProperty(obj.Properties.back())) return false;
        }
    }

    bool ParseProperty(TDescProperty& prop) {
        prop.Line = line_;
        std::string name;
        if (!Ident(name, true) || !Expect('=')) return false;
        prop.Name = WideFromUtf8(name);
        return ParseValue(prop.Value);
    }

    bool ParseString(std::wstring& out) {
        std::string utf8;
        bool any = false;
        for (;;) {
            SkipSpace();
            if (Peek() == '\'') {
                ++pos_;
                for (;;) {
                    if (AtEnd() || s_[pos_] == '\n') return Fail("unterminated text");
                    if (s_[pos_] == '\'') {
                        if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
                            utf8.push_back('\'');
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    utf8.push_back(s_[pos_++]);
                }
                any = true;
            } else if (Peek() == '#') {
                ++pos_;
                std::int64_t code = 0;
                if (!Number(code) || code < 0 || code > 0x10FFFF) return Fail("bad character code");
                out += WideFromUtf8(utf8);
                utf8.clear();
                std::string enc;
                const auto cp = static_cast<std::uint32_t>(code);
                if (cp < 0x80) {
                    enc.push_back(static_cast<char>(cp));
                } else if (cp < 0x800) {
                    enc.push_back(static_cast<char>(0xC0 | (cp >> 6)));
                    enc.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
                } else if (cp < 0x10000) {
                    enc.push_back(static_cast<char>(0xE0 | (cp >> 12)));
                    enc.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                    enc.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
                } else {
                    enc.push_back(static_cast<char>(0xF0 | (cp >> 18)));
                    enc.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
                    enc.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                    enc.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
                }
                out += WideFromUtf8(enc);
                any = true;
            } else {
                break;
            }
        }
        out += WideFromUtf8(utf8);
        return any || Fail("a text was expected");
    }

    bool Number(std::int64_t& out) {
        bool neg = false;
        if (Peek() == '-') {
            neg = true;
            ++pos_;
        }
        int base = 10;
        if (Peek() == '$') {
            base = 16;
            ++pos_;
        } else if (Peek() == '0' && pos_ + 1 < s_.size() && (s_[pos_ + 1] == 'x' || s_[pos_ + 1] == 'X')) {
            base = 16;
            pos_ += 2;
        }
        std::uint64_t v = 0;
        int digits = 0;
        while (!AtEnd()) {
            const char c = s_[pos_];
            int d = -1;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            if (d < 0) break;
            v = v * base + d;
            if (v > 0xFFFFFFFFull) return Fail("number out of range");
            ++digits;
            ++pos_;
        }
        if (digits == 0) return Fail("a number was expected");
        out = neg ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
        return true;
    }

    bool ParseValue(TDescValue& v) {
        SkipSpace();
        const char c = Peek();
        if (c == '\'' || c == '#') {
            v.Type = TDescValue::Kind::String;
            return ParseString(v.Text);
        }
        if (c == '-' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
            v.Type = TDescValue::Kind::Integer;
            return Number(v.Integer);
        }
        if (c == '[') {
            ++pos_;
            v.Type = TDescValue::Kind::Set;
            SkipSpace();
            if (Peek() == ']') {
                ++pos_;
                return true;
            }
            for (;;) {
                std::string id;
                if (!Ident(id, false)) return false;
                v.SetItems.push_back(WideFromUtf8(id));
                SkipSpace();
                if (Peek() == ']') {
                    ++pos_;
                    return true;
                }
                if (!Expect(',')) return false;
            }
        }
        if (c == '<') {
            ++pos_;
            v.Type = TDescValue::Kind::Items;
            for (;;) {
                SkipSpace();
                if (Peek() == '>') {
                    ++pos_;
                    return true;
                }
                if (!Keyword("item")) return Fail("'item' or '>' was expected");
                TDescItem item;
                item.Line = line_;
                for (;;) {
                    SkipSpace();
                    if (AtEnd()) return Fail("'end' of an item is missing");
                    if (Keyword("end")) break;
                    item.Properties.emplace_back();
                    if (!ParseProperty(item.Properties.back())) return false;
                }
                v.Items.push_back(std::move(item));
            }
        }
        std::string id;
        if (!Ident(id, false)) return false;
        if (id == "end" || id == "object" || id == "item") return Fail("a value was expected");
        if (id == "picture") {
            v.Type = TDescValue::Kind::Picture;
            if (!Expect('(')) return false;
            SkipSpace();
            if (!ParseString(v.Text)) return false;
            if (v.Text.empty()) return Fail("a picture needs a file name");
            return Expect(')');
        }
        v.Type = TDescValue::Kind::Ident;
        v.Text = WideFromUtf8(id);
        return true;
    }

    std::string_view s_;
    size_t pos_ = 0;
    int line_ = 1;
    std::string err_;
    int errLine_ = 0;
};

void CollectFromProperties(const std::vector<TDescProperty>& props, std::vector<std::wstring>& files) {
    for (const auto& p : props) {
        if (p.Value.Type == TDescValue::Kind::Picture) files.push_back(p.Value.Text);
        for (const auto& item : p.Value.Items) CollectFromProperties(item.Properties, files);
    }
}

}  // namespace

bool ParseDescription(std::string_view utf8, TDescObject& root, std::wstring& error) {
    root = TDescObject{};
    error.clear();
    Parser p(utf8);
    return p.Run(root, error);
}

void CollectPictureFiles(const TDescObject& root, std::vector<std::wstring>& files) {
    CollectFromProperties(root.Properties, files);
    for (const auto& c : root.Children) CollectPictureFiles(c, files);
}

}  // namespace promo

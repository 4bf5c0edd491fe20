#include "tarnwick/browser/json_parse.hpp"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <string>
#include <unordered_map>

#include "tarnwick/core/text.hpp"

namespace tarnwick::browser {

namespace {

constexpr int kMaxDepth = 512;
constexpr std::size_t kIndexFrom = 16;

class Parser {
public:
    explicit Parser(std::string_view s) : s_(s) {}

    Value document() {
        Value v = value(0);
        skip_space();
        if (pos_ != s_.size()) fail("trailing characters");
        return v;
    }

private:
    [[noreturn]] void fail(const char* what) {
        throw JsonError(std::string("malformed JSON from the page (") + what + " at offset " +
                        std::to_string(pos_) + ")");
    }

    void skip_space() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\r' || s_[pos_] == '\t'))
            ++pos_;
    }

    bool literal(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    Value value(int depth) {
        if (depth > kMaxDepth) fail("nesting too deep");
        skip_space();
        if (pos_ >= s_.size()) fail("unexpected end");
        switch (s_[pos_]) {
            case '{': return object(depth);
            case '[': return array(depth);
            case '"': return Value(string());
            case 't': if (literal("true")) return Value(true); break;
            case 'f': if (literal("false")) return Value(false); break;
            case 'n': if (literal("null")) return Value(); break;
            default: return number();
        }
        fail("unexpected character");
    }

    Value object(int depth) {
        ++pos_;
        Map map;
        std::unordered_map<std::string, std::size_t> index;
        skip_space();
        if (pos_ < s_.size() && s_[pos_] == '}') {
            ++pos_;
            return Value(std::move(map));
        }
        for (;;) {
            skip_space();
            if (pos_ >= s_.size() || s_[pos_] != '"') fail("expected a key");
            std::string key = string();
            skip_space();
            if (pos_ >= s_.size() || s_[pos_] != ':') fail("expected ':'");
            ++pos_;
            // A repeated key keeps its first place and takes the last value,
            // as JSON.parse does; large objects are indexed to stay linear.
            Value item = value(depth + 1);
            if (map.size() < kIndexFrom) {
                map.set(key, std::move(item));
            } else {
                if (index.empty())
                    for (const auto& e : map) index.emplace(e.key, index.size());
                auto [it, fresh] = index.emplace(key, map.size());
                if (fresh) map.append(std::move(key), std::move(item));
                else *map.find(it->first) = std::move(item);
            }
            skip_space();
            if (pos_ < s_.size() && s_[pos_] == ',') { ++pos_; continue; }
            if (pos_ < s_.size() && s_[pos_] == '}') { ++pos_; return Value(std::move(map)); }
            fail("expected ',' or '}'");
        }
    }

    Value array(int depth) {
        ++pos_;
        Sequence seq;
        skip_space();
        if (pos_ < s_.size() && s_[pos_] == ']') {
            ++pos_;
            return Value(std::move(seq));
        }
        for (;;) {
            seq.push_back(value(depth + 1));
            skip_space();
            if (pos_ < s_.size() && s_[pos_] == ',') { ++pos_; continue; }
            if (pos_ < s_.size() && s_[pos_] == ']') { ++pos_; return Value(std::move(seq)); }
            fail("expected ',' or ']'");
        }
    }

    unsigned hex4() {
        if (pos_ + 4 > s_.size()) fail("short \\u escape");
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9') v |= c - '0';
            else if (c >= 'a' && c <= 'f') v |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') v |= c - 'A' + 10;
            else fail("bad \\u escape");
        }
        return v;
    }

    std::string string() {
        ++pos_;
        std::string out;
        for (;;) {
            std::size_t start = pos_;
            while (pos_ < s_.size() && s_[pos_] != '"' && s_[pos_] != '\\') ++pos_;
            out.append(s_.substr(start, pos_ - start));
            if (pos_ >= s_.size()) fail("unterminated string");
            if (s_[pos_++] == '"') return out;
            if (pos_ >= s_.size()) fail("unterminated escape");
            char e = s_[pos_++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    char32_t cp = hex4();
                    if (cp >= 0xD800 && cp <= 0xDBFF && s_.substr(pos_, 2) == "\\u") {
                        std::size_t save = pos_;
                        pos_ += 2;
                        unsigned low = hex4();
                        if (low >= 0xDC00 && low <= 0xDFFF) cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                        else pos_ = save;
                    }
                    text::append_utf8(out, cp);
                    break;
                }
                default: fail("bad escape");
            }
        }
    }

    Value number() {
        std::size_t start = pos_;
        bool integral = true;
        if (pos_ < s_.size() && s_[pos_] == '-') ++pos_;
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (c >= '0' && c <= '9') { ++pos_; continue; }
            if (c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-') { integral = false; ++pos_; continue; }
            break;
        }
        std::string_view token = s_.substr(start, pos_ - start);
        if (token.empty() || token == "-") fail("expected a value");
        if (integral) {
            std::int64_t v = 0;
            auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
            if (ec == std::errc() && end == token.data() + token.size()) return Value(v);
        }
        {
            // Correctly rounded like strtod, without a copy; anything it
            // does not take whole (overflow, say) is left to strtod.
            double d = 0;
            auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), d);
            if (ec == std::errc() && end == token.data() + token.size()) return Value(d);
        }
        std::string copy(token);
        char* end = nullptr;
        double d = std::strtod(copy.c_str(), &end);
        if (end != copy.c_str() + copy.size()) fail("bad number");
        return Value(d);
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

}  // namespace

Value parse_json(std::string_view text) { return Parser(text).document(); }

}  // namespace tarnwick::browser

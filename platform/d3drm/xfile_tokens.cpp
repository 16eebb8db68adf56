// Splitting DirectX .x text into tokens, and its numbers (no library).
#include "xfile_tokens.h"

#include <charconv>
#include <cmath>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ';' || c == '\f' || c == '\v';
}

bool EndsWord(char c)
{
    return IsBlank(c) || c == '{' || c == '}' || c == '"' || c == '#' || c == '/';
}

} // namespace

XToken XTokens::Peek()
{
    if (peeked)
        return kind;
    peeked = true;
    value = {};
    if (kind == XToken::Bad)
        return kind;
    for (;;) {
        while (at < text.size() && IsBlank(text[at]))
            line += text[at++] == '\n';
        if (at < text.size() && (text[at] == '#' || text.substr(at, 2) == "//")) {
            while (at < text.size() && text[at] != '\n')
                at++;
            continue;
        }
        break;
    }
    if (at >= text.size())
        return kind = XToken::End;
    const char c = text[at];
    if (c == '{' || c == '}') {
        at++;
        return kind = c == '{' ? XToken::Open : XToken::Close;
    }
    if (c == '"') {
        const size_t close = text.find_first_of("\"\n", at + 1);
        if (close == std::string_view::npos || text[close] != '"') {
            bad = "a string without its closing quote";
            return kind = XToken::Bad;
        }
        value = text.substr(at + 1, close - at - 1);
        at = close + 1;
    } else {
        // A lone slash is part of no token the format knows.
        const size_t start = at;
        while (at < text.size() && !EndsWord(text[at]))
            at++;
        if (at == start) {
            bad = "a stray character";
            return kind = XToken::Bad;
        }
        value = text.substr(start, at - start);
    }
    if (value.size() > X_MAX_TOKEN) {
        bad = "a word or string too long";
        return kind = XToken::Bad;
    }
    if (value.find('\0') != std::string_view::npos) {
        bad = "a zero byte in the text";
        return kind = XToken::Bad;
    }
    return kind = c == '"' ? XToken::String : XToken::Word;
}

bool ParseCount(std::string_view word, uint32_t* out)
{
    if (word.empty() || word[0] < '0' || word[0] > '9')
        return false;
    const char* end = word.data() + word.size();
    std::from_chars_result r = std::from_chars(word.data(), end, *out);
    return r.ec == std::errc() && r.ptr == end;
}

bool ParseFloat(std::string_view word, float* out)
{
    // from_chars takes no leading plus, and reads "inf" and "nan", which are refused below.
    if (!word.empty() && word[0] == '+')
        word.remove_prefix(1);
    if (word.empty() || word[0] == '+')
        return false;
    const char* end = word.data() + word.size();
    std::from_chars_result r = std::from_chars(word.data(), end, *out, std::chars_format::general);
    return r.ec == std::errc() && r.ptr == end && std::isfinite(*out);
}

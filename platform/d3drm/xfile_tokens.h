// The tokens of a DirectX .x text file (no library): words (names and numbers), strings and
// braces. Commas, semicolons, blanks and comments ("//" or "#" to the end of the line) fall away
// between them, as the common exporters place them freely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

enum class XToken { End, Word, String, Open, Close, Bad };

// Longest word or string accepted; a longer one is refused as broken data.
constexpr size_t X_MAX_TOKEN = 256;

struct XTokens {
    std::string_view text;
    size_t at = 0;
    int line = 1;

    // The token under the cursor, read on demand.
    XToken kind = XToken::End;
    std::string_view value; // a word, or a string without its quotes
    bool peeked = false;
    const char* bad = nullptr; // why the text could not be split, once kind is Bad

    XToken Peek();
    void Take() { peeked = false; }
};

// A count or index: decimal digits only, no sign.
bool ParseCount(std::string_view word, uint32_t* out);
// A finite number in the "C" locale's notation, correctly rounded to float.
bool ParseFloat(std::string_view word, float* out);

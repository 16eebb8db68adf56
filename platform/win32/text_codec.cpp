// Text conversion on iconv (glibc): code page 932 to UTF-8.
#include "platform_internal.h"

#include <iconv.h>

#include <cerrno>

namespace {
const char REPLACEMENT[] = "\xEF\xBF\xBD"; // U+FFFD
} // namespace

std::string Cp932ToUtf8(const char* text, size_t length)
{
    std::string result;
    if (!text || length == 0)
        return result;
    // One converter per thread, reset before each use.
    thread_local iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        for (size_t i = 0; i < length; i++)
            result += static_cast<unsigned char>(text[i]) < 0x80 ? std::string(1, text[i]) : REPLACEMENT;
        return result;
    }
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text);
    size_t inLeft = length;
    char buffer[256];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof(buffer);
        size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
        result.append(buffer, static_cast<size_t>(out - buffer));
        if (done != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // An invalid or cut-off sequence: one replacement character, then go on after its first byte.
        result += REPLACEMENT;
        in++;
        inLeft--;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    return result;
}

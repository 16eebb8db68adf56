// Text and path conversion on iconv (glibc): code page 932 to UTF-8, Windows paths to native ones.
#include "platform_internal.h"

#include <dirent.h>
#include <iconv.h>
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>

namespace {
const char REPLACEMENT[] = "\xEF\xBF\xBD"; // U+FFFD

// The name's last part matched without regard to case, as Windows file systems do; empty if none.
std::string FindIgnoringCase(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        return std::string();
    DIR* dir = opendir(directory.c_str());
    if (!dir)
        return std::string();
    std::string found;
    while (dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = slash == std::string::npos ? std::string(entry->d_name) : path.substr(0, slash + 1) + entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}
} // namespace

std::string NativePath(const char* windowsPath)
{
    if (!windowsPath)
        return std::string();
    std::string path(windowsPath);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        std::string other = FindIgnoringCase(path);
        if (!other.empty())
            return other;
    }
    return path;
}

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

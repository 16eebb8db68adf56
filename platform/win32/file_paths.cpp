// Paths on the C library and Linux's /proc: the executable's own path, Windows paths turned into
// native ones, and where a data file is looked for when it is not where the game first looks.
#include "platform_internal.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

namespace {
// The folder under a share directory that holds the installed data.
constexpr const char* DATA_FOLDER_NAME = "orbitdefense";
constexpr const char* DEFAULT_XDG_DATA_DIRS = "/usr/local/share:/usr/share";

std::mutex g_reportLock;
std::set<std::string> g_reported; // names already reported missing: each is named once a run

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

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

std::string Found(const std::string& candidate)
{
    if (Exists(candidate))
        return candidate;
    std::string other = FindIgnoringCase(candidate);
    return !other.empty() && Exists(other) ? other : std::string();
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A short name for the executable's folder that the kernel resolves itself: a descriptor of the
// folder kept open for the run. Empty when it cannot be made.
std::string ShortModuleFolder()
{
    static std::string folder = [] {
        std::string real = FolderOf(ExecutablePath());
        int descriptor = real.empty() ? -1 : open(real.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        return descriptor < 0 ? std::string() : "/proc/self/fd/" + std::to_string(descriptor) + "/";
    }();
    return folder;
}
} // namespace

std::string ExecutablePath()
{
    // readlink says nothing about the length: grow the buffer until the whole path fits.
    std::string path(256, '\0');
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
        if (length <= 0)
            return std::string();
        if (static_cast<size_t>(length) < path.size()) {
            path.resize(static_cast<size_t>(length));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string ModuleFileName()
{
    std::string path = ExecutablePath();
    if (path.size() > MODULE_LONG_FORM_LIMIT) {
        std::string folder = ShortModuleFolder();
        if (!folder.empty())
            path = folder + path.substr(path.rfind('/') + 1);
    }
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::vector<std::string> DataFileCandidates(const char* windowsPath, const DataPlaces& places)
{
    std::vector<std::string> candidates;
    if (!windowsPath)
        return candidates;
    std::string path(windowsPath);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    std::string name;
    if (path.find('/') == std::string::npos) {
        candidates.push_back(Join(places.currentFolder, path)); // a bare name: the current folder first
        candidates.push_back(Join(places.moduleFolder, path));
        name = path;
    } else {
        candidates.push_back(path); // any path as given
        std::string folder = FolderOf(path);
        bool inModuleFolder = !places.moduleFolder.empty() && folder == Join(places.moduleFolder, "");
        if (!inModuleFolder && !places.shortModuleFolder.empty() && folder == places.shortModuleFolder) {
            inModuleFolder = true;
            candidates.back() = Join(places.moduleFolder, path.substr(folder.size()));
        }
        if (!inModuleFolder)
            return candidates; // only the executable's own folder has fall-backs
        name = path.substr(folder.size());
    }
    if (!places.moduleFolder.empty()) {
        // ../share/orbitdefense beside the executable, written without the "..".
        std::string parent = FolderOf(places.moduleFolder.substr(0, places.moduleFolder.size() - 1));
        candidates.push_back((parent.empty() ? "/" : parent) + "share/" + DATA_FOLDER_NAME + "/" + name);
    }
    std::string dataDirs = places.xdgDataDirs && *places.xdgDataDirs ? places.xdgDataDirs : DEFAULT_XDG_DATA_DIRS;
    size_t start = 0;
    while (start <= dataDirs.size()) {
        size_t end = dataDirs.find(':', start);
        if (end == std::string::npos)
            end = dataDirs.size();
        std::string dir = dataDirs.substr(start, end - start);
        if (!dir.empty() && dir[0] == '/') // relative entries are invalid there and ignored
            candidates.push_back(Join(Join(dir, DATA_FOLDER_NAME), name));
        start = end + 1;
    }
    // The same place reached twice is tried once.
    std::vector<std::string> unique;
    for (const std::string& candidate : candidates) {
        bool seen = false;
        for (const std::string& kept : unique)
            seen = seen || kept == candidate;
        if (!seen)
            unique.push_back(candidate);
    }
    return unique;
}

std::string FindDataFile(const char* windowsPath, const DataPlaces& places, std::vector<std::string>* tried)
{
    std::vector<std::string> candidates = DataFileCandidates(windowsPath, places);
    for (const std::string& candidate : candidates) {
        std::string found = Found(candidate);
        if (!found.empty())
            return found;
    }
    if (tried)
        *tried = candidates;
    return std::string();
}

std::string NativePath(const char* windowsPath)
{
    if (!windowsPath)
        return std::string();
    DataPlaces places;
    places.moduleFolder = FolderOf(ExecutablePath());
    places.shortModuleFolder = ShortModuleFolder();
    places.xdgDataDirs = std::getenv("XDG_DATA_DIRS");
    std::vector<std::string> tried;
    std::string found = FindDataFile(windowsPath, places, &tried);
    if (!found.empty())
        return found;
    {
        std::lock_guard<std::mutex> hold(g_reportLock);
        if (g_reported.insert(windowsPath).second) {
            std::string list;
            std::set<std::string> listed;
            for (const std::string& place : tried) {
                std::string shown = place;
                if (shown.find('/') != 0) {
                    char* current = getcwd(nullptr, 0);
                    if (current)
                        shown = Join(current, shown);
                    std::free(current);
                }
                if (listed.insert(shown).second)
                    list += (list.empty() ? "" : ", ") + shown;
            }
            std::fprintf(stderr, "orbitdefense: data file not found: %s (looked for %s)\n", windowsPath, list.c_str());
        }
    }
    // The path as given, so that the caller's open fails as it would have.
    return tried.empty() ? std::string(windowsPath) : tried.front();
}

#include "core/long_path.h"

#include "core/utf8.h"

namespace tsly {

std::string_view PathRoot(std::string_view path) {
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return path.substr(0, 3);
    if (path.substr(0, 2) != "\\\\") return {};
    const std::size_t serverEnd = utf8::NextSeparator(path, 2);
    if (serverEnd == std::string::npos) return path;
    const std::size_t shareEnd = utf8::NextSeparator(path, serverEnd + 1);
    return shareEnd == std::string::npos ? path : path.substr(0, shareEnd + 1);
}

bool NeedsFullPath(const std::string& path) {
    const bool absolute = (path.size() >= 3 && path[1] == ':' && path[2] == '\\') ||
                          path.rfind("\\\\", 0) == 0;
    if (!absolute || path.find('/') != std::string::npos) return true;
    // "." and ".." parts need the system to resolve them; any other part,
    // even one that ends in a dot or a blank, is a name as it stands.
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = utf8::NextSeparator(path, start);
        if (end == std::string::npos) end = path.size();
        const std::string_view part(path.data() + start, end - start);
        if (part == "." || part == "..") return true;
        start = end + 1;
    }
    return false;
}

std::string ExpandLongPath(const std::string& parameter, PathLookup& lookup) {
    // The shell hands over absolute paths, taken as they stand: the system's
    // tidying would drop a trailing dot or blank from a folder's name and
    // so name another folder. A relative one is first made absolute against
    // the current folder so that every lookup is sound.
    const std::string full = NeedsFullPath(parameter) ? lookup.FullPath(parameter) : parameter;
    const std::size_t root = PathRoot(full).size();
    std::string result = full.substr(0, root);

    // Each component after the root, in its long form. A lookup that
    // finds nothing keeps the component as it was passed.
    bool endsWithSeparator = !result.empty() && result.back() == '\\';
    std::size_t start = root;
    while (start < full.size()) {
        std::size_t end = utf8::NextSeparator(full, start);
        const bool last = end == std::string::npos;
        if (last) end = full.size();
        if (end > start) {
            const std::string prefix = full.substr(0, end);
            auto name = lookup.LongName(prefix);
            result += name ? *name : full.substr(start, end - start);
            endsWithSeparator = !last;
            if (!last) result += '\\';
        } else if (!last) {
            result += '\\';  // an empty component, as in "a\\\\b": keep it
            endsWithSeparator = true;
        }
        start = end + 1;
    }

    // A folder ends in a separator, so that it reads as one.
    if (!result.empty() && !endsWithSeparator && lookup.IsFolder(full)) {
        result += '\\';
    }
    return result;
}

std::optional<std::string> RememberingPathLookup::LongName(const std::string& path) {
    const auto [it, added] = names_.try_emplace(path);
    if (added) it->second = lookup_.LongName(path);
    return it->second;
}

bool RememberingPathLookup::IsFolder(const std::string& path) {
    const auto [it, added] = folders_.try_emplace(path, false);
    if (added) it->second = lookup_.IsFolder(path);
    return it->second;
}

}  // namespace tsly

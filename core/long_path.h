// Turns a path with short (8.3) aliases into its long form, one component at
// a time, through a lookup interface.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tsly {

class PathLookup {
public:
    virtual ~PathLookup() = default;
    // The full path of a possibly relative path.
    virtual std::string FullPath(const std::string& path) = 0;
    // The long name of the entry a path names, or nothing.
    virtual std::optional<std::string> LongName(const std::string& path) = 0;
    virtual bool IsFolder(const std::string& path) = 0;
};

// The part of a full path that is never looked up, as it names the volume:
// "C:\\" for a drive path, "\\\\server\\share\\" for a network path, else
// nothing.
std::string_view PathRoot(std::string_view path);

// True unless `path` is absolute ("C:\\..." or "\\\\server\\share\\...") with
// no "/" and no "." or ".." part: only then is it a file's exact name.
bool NeedsFullPath(const std::string& path);

std::string ExpandLongPath(const std::string& parameter, PathLookup& lookup);

// Remembers each answer of another lookup, for one batch of paths (a
// command line, a drop): a thousand files of one folder look the folder up
// once, not a thousand times. The disk may change afterwards, so the
// answers are not kept beyond the batch.
class RememberingPathLookup final : public PathLookup {
public:
    explicit RememberingPathLookup(PathLookup& lookup) : lookup_(lookup) {}
    std::string FullPath(const std::string& path) override { return lookup_.FullPath(path); }
    std::optional<std::string> LongName(const std::string& path) override;
    bool IsFolder(const std::string& path) override;

private:
    PathLookup& lookup_;
    std::unordered_map<std::string, std::optional<std::string>> names_;
    std::unordered_map<std::string, bool> folders_;
};

}  // namespace tsly

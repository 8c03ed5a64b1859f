// Starting a folder listing in the fast mode where the system has it and
// in the plain one where it refuses: older Windows rejects the options that
// make listing quicker, and a scan must not find nothing because of that.
#pragma once

#include <memory>
#include <string>

#include "core/folder_scan.h"

namespace tsly {

enum class ListingMode {
    Fast,   // no short names, larger fetches from the file system
    Plain,  // what every system takes
};

struct ListingStart {
    std::unique_ptr<DirListing> listing;  // nullptr when the listing did not start
    bool modeRefused = false;             // the system does not know the mode asked for
};

// An enumerator whose Open asks for the fast mode and, when the system
// refuses it, for the plain one. Once a plain listing started where the
// fast one was refused, every later folder is listed plainly at once.
class FallbackDirEnumerator : public DirEnumerator {
public:
    std::unique_ptr<DirListing> Open(const std::string& pattern) final;

protected:
    virtual ListingStart OpenIn(const std::string& pattern, ListingMode mode) = 0;

private:
    bool fastRefused_ = false;
};

}  // namespace tsly

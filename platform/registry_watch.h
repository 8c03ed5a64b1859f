// Tells when a key below HKEY_CURRENT_USER, or anything under it, may have
// changed: written by this program, another one, or deleted. Until the key
// exists its nearest existing parent is watched, so that its making counts.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles.h"

namespace tsly::win {

class RegistryWatch {
public:
    // `keyPath` as RegOpenKeyEx takes it, e.g. "Software\\maker\\program".
    explicit RegistryWatch(std::string keyPath);
    // True once after each change (or when the watch could not be set);
    // asks at once, without waiting.
    bool Changed();

private:
    void Arm();

    std::string keyPath_;
    UniqueRegKey key_;
    UniqueHandle event_;
};

}  // namespace tsly::win

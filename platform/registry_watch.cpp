#include "platform/registry_watch.h"

#include "platform/text.h"

namespace tsly::win {

RegistryWatch::RegistryWatch(std::string keyPath)
    : keyPath_(std::move(keyPath)), event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    while (!keyPath_.empty() && keyPath_.back() == '\\') keyPath_.pop_back();
    Arm();
}

void RegistryWatch::Arm() {
    key_.reset();
    if (!event_) return;
    ResetEvent(event_.get());
    // The key itself, or the nearest parent that exists.
    std::string path = keyPath_;
    for (;;) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(path).c_str(), 0, KEY_NOTIFY, &key) ==
            ERROR_SUCCESS) {
            key_.reset(key);
            break;
        }
        const std::size_t cut = path.find_last_of('\\');
        if (cut == std::string::npos) return;
        path.resize(cut);
    }
    constexpr DWORD kWhat = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
    if (RegNotifyChangeKeyValue(key_.get(), TRUE, kWhat, event_.get(), TRUE) != ERROR_SUCCESS) {
        key_.reset();
    }
}

bool RegistryWatch::Changed() {
    // Without a watch every question says "changed": the caller reads again.
    if (key_ && WaitForSingleObject(event_.get(), 0) != WAIT_OBJECT_0) return false;
    Arm();
    return true;
}

}  // namespace tsly::win

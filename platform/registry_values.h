// The registry values of the current user, as the portable rules of
// core/explorer_naming.h reach them.
#pragma once

#include "core/explorer_naming.h"

namespace tsly::win {

class CurrentUserValues final : public RegistryValues {
public:
    bool Read(const std::string& key, const std::string& name, RegistryValue& value) override;
    bool Write(const std::string& key, const std::string& name,
               const RegistryValue& value) override;
    std::optional<bool> KeyExists(const std::string& key) override;
    bool RemoveKeyIfEmpty(const std::string& key) override;
};

}  // namespace tsly::win

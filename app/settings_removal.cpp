#include "app/settings_removal.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/registry_values.h"
#include "platform/settings_store.h"
#include "platform/text.h"
#include "platform/undo_journal_file.h"

namespace tsly {
namespace {

// A key that is already gone counts as deleted: it is made first, so that
// the answer is the same whether or not the user had stored anything.
bool DeleteKey(const char* keyPath) {
    { const SettingsStore create(keyPath); }
    return DeleteKeyTree(keyPath);
}

}  // namespace

SettingsRemoval RemoveAllSettings() {
    SettingsRemoval removal;
    win::CurrentUserValues registry;
    const NamingChange naming = PutBackShortcutMarker(registry);
    removal.namingPutBack = naming.changed;
    if (!naming.ok) removal.error = naming.Message();
    const bool settings = DeleteKey(kSettingsKey);
    const bool setup = naming.ok && DeleteKey(kSetupKey);
    removal.deleted = settings && setup;

    std::string folder = win::UndoJournalFolder();
    if (!folder.empty()) {
        // Every journal, and those set aside; one a running window holds
        // stays with it.
        WIN32_FIND_DATAW data;
        HANDLE h = FindFirstFileW(win::ToWide(folder + "\\undo*").c_str(), &data);
        for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &data)) {
            DeleteFileW((win::ToWide(folder + "\\") + data.cFileName).c_str());
        }
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
        // The folders go only when empty; another program of the maker may
        // keep its files beside.
        for (int level = 0; level < 2 && RemoveDirectoryW(win::ToWide(folder).c_str()); ++level) {
            folder.erase(folder.find_last_of('\\'));
        }
    }
    return removal;
}

}  // namespace tsly

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

std::string UndoJournalPath() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                folder))) {
        return std::string();
    }
    return win::FromWide(folder) + "\\moravend\\Tessalyne\\undo.log";
}

SettingsRemoval RemoveAllSettings() {
    SettingsRemoval removal;
    win::CurrentUserValues registry;
    const NamingChange naming = PutBackShortcutMarker(registry);
    removal.namingPutBack = naming.changed;
    if (!naming.ok) removal.error = naming.Message();
    const bool settings = DeleteKey(kSettingsKey);
    const bool setup = naming.ok && DeleteKey(kSetupKey);
    removal.deleted = settings && setup;

    const std::string journal = UndoJournalPath();
    if (!journal.empty()) {
        win::UndoJournalFile(journal).Remove();
        // The folders go only when empty; another program of the maker may
        // keep its files beside.
        std::string folder = journal.substr(0, journal.find_last_of('\\'));
        for (int level = 0; level < 2 && RemoveDirectoryW(win::ToWide(folder).c_str()); ++level) {
            folder.erase(folder.find_last_of('\\'));
        }
    }
    return removal;
}

}  // namespace tsly

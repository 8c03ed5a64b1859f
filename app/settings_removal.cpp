#include "app/settings_removal.h"

#include <windows.h>
#include <shlobj.h>

#include "dialogs/setup_dialog.h"
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

std::string ShortcutsStaySentence(const std::vector<std::string>& folders) {
    if (folders.empty()) return std::string();
    std::string names;
    for (const std::string& folder : folders) names += (names.empty() ? "" : "、") + folder;
    return "\r\n" + names +
           "のショートカットと、セットアップの設定は残ります。これらも削除するには、先に"
           "セットアップでチェックを外して「設定」を押してください。";
}

SettingsRemoval RemoveAllSettings() {
    SettingsRemoval removal;
    win::CurrentUserValues registry;
    // Only what the program's record says it wrote: equal values with no
    // record are the user's own.
    const NamingChange naming = PutBackShortcutMarker(registry, Unrecorded::Leave);
    removal.namingPutBack = naming.changed;
    removal.copiesLost = naming.copiesLost;
    if (!naming.ok) removal.error = naming.Message();
    const bool settings = DeleteKey(kSettingsKey);
    const bool setup = naming.ok && (!ChosenShortcutFolders().empty() || DeleteKey(kSetupKey));
    removal.deleted = settings && setup;
    // The maker's key, when nothing else of the maker's is in it.
    std::string company = kSetupKey;
    company.erase(company.find_last_of('\\', company.size() - 2));
    registry.RemoveKeyIfEmpty(company);

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

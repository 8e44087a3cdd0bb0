// Live reload of the skin in use: its folder is watched while the skin comes from one, and a
// change is read again once writing has settled, as choosing the skin in the system menu
// would read it. A reload that fails keeps the skin on screen and says why.
#include "platform/widgets/Forms.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinMessage.h"

namespace {
// An author saves Options.dat or a picture, often as several writes and renames.
constexpr uint32_t kSkinSettleMs = 300;
}  // namespace

UINT TsSkinManager::SkinFolderMessage() {
  static const UINT message = RegisterWindowMessage("TsSkinManager.SkinFolderChanged");
  return message;
}

void TsSkinManager::FollowSkinFolder() {
  // Only the default manager hears the application's window, where the watch reports.
  std::string folder;
  if (FActive && FAppHook && Application && !InState(csDesigning | csDestroying) && !FSkinData.SkinPath.empty()) {
    folder = SkinFsPath(FSkinData.SkinPath);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  }
  if (folder == FWatchedFolder) return;
  StopFollowingSkinFolder();
  if (folder.empty()) return;
  FFolderWatch = WatchFolderChanges(Application->Handle(), SkinFolderMessage(), folder, kSkinSettleMs);
  if (FFolderWatch) FWatchedFolder = folder;
}

void TsSkinManager::StopFollowingSkinFolder() {
  if (FFolderWatch) StopWatchingChanges(FFolderWatch);
  FFolderWatch = 0;
  FWatchedFolder.clear();
}

void TsSkinManager::SkinFolderChanged() {
  // A change that comes while the message about the last one is up is read after it.
  if (FReloading) {
    FReloadAgain = true;
    return;
  }
  FReloading = true;
  do {
    FReloadAgain = false;
    ReloadSkinFolder();
  } while (FReloadAgain && !InState(csDestroying));
  FReloading = false;
}

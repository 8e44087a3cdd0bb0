// Watching files and folders for changes: one inotify descriptor that the message loop reads
// without blocking and waits on together with the display, and a quiet time per watch after
// which its window is told.
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>

#include "platform/windowing/WindowSystem.h"

namespace {

// What counts as a change. Not IN_CLOSE_WRITE: a file opened for reading and writing and
// closed unchanged (as the ROM load opens it) reports that too.
constexpr uint32_t kChangeMask = IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                 IN_DELETE_SELF | IN_MOVE_SELF;
// The folder of a watched file only tells of names coming and going (a file written anew and
// renamed over, deleted and made again): writes to its other files (a busy /tmp, a build
// folder) do not wake the program.
constexpr uint32_t kFolderOfFileMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                                       IN_MOVE_SELF;

struct TFileWatch {
  HWND Window = nullptr;
  UINT Msg = 0;
  uint32_t SettleMs = 0;
  bool WholeFolder = false;
  std::string Path;    // the file, or the folder
  std::string Folder;  // the folder that holds the file (or the folder itself)
  std::string Name;    // the file's name in its folder; empty for a folder watch
  int FolderWd = -1;
  int FileWd = -1;
  bool Pending = false;
  uint64_t Due = 0;
};

struct TWatchState {
  int Fd = -1;
  uintptr_t NextId = 1;
  std::map<uintptr_t, TFileWatch> Watches;
};

TWatchState& State() {
  static TWatchState state;
  return state;
}

bool WdInUse(int wd, uintptr_t except) {
  for (const auto& [id, w] : State().Watches)
    if (id != except && (w.FolderWd == wd || w.FileWd == wd)) return true;
  return false;
}

// Drops a watch descriptor that no other watch shares.
void ReleaseWd(int wd, uintptr_t owner) {
  if (wd >= 0 && State().Fd >= 0 && !WdInUse(wd, owner)) inotify_rm_watch(State().Fd, wd);
}

// Adding the same inode again yields the same descriptor, its mask the union of what every
// watch on it asked for.
int AddWd(const std::string& path, uint32_t mask = kChangeMask) {
  return State().Fd >= 0 ? inotify_add_watch(State().Fd, path.c_str(), mask | IN_MASK_ADD) : -1;
}

// Editors' own files beside the one being edited: swap files, backups, probes.
bool IsEditorLeftover(const std::string& name) {
  auto endsWith = [&name](const char* tail) {
    const std::string t = tail;
    return name.size() >= t.size() && name.compare(name.size() - t.size(), t.size(), t) == 0;
  };
  return name.empty() || name[0] == '.' || name[0] == '#' || endsWith("~") || endsWith(".swp") ||
         endsWith(".swx") || endsWith(".tmp") || name == "4913";
}

void MarkChanged(TFileWatch& w) {
  w.Pending = true;
  w.Due = WS().Now() + w.SettleMs;
}

// Looks at the file and its folder again after a change: a file renamed over or created anew
// is another inode, a folder created anew another directory.
void RenewDescriptors(uintptr_t id, TFileWatch& w) {
  if (w.FolderWd < 0) w.FolderWd = AddWd(w.Folder, w.WholeFolder ? kChangeMask : kFolderOfFileMask);
  if (w.WholeFolder) return;
  const int fresh = AddWd(w.Path);
  if (fresh != w.FileWd) {
    const int old = w.FileWd;
    w.FileWd = fresh;
    ReleaseWd(old, id);
  }
}

uintptr_t AddWatch(HWND hwnd, UINT msg, const std::string& path, uint32_t settleMs, bool wholeFolder) {
  TWatchState& s = State();
  if (!IsLive(hwnd) || path.empty()) return 0;
  if (s.Fd < 0) {
    s.Fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (s.Fd < 0) return 0;
  }
  TFileWatch w;
  w.Window = hwnd;
  w.Msg = msg;
  w.SettleMs = settleMs;
  w.WholeFolder = wholeFolder;
  w.Path = path;
  if (wholeFolder) {
    w.Folder = path;
  } else {
    const size_t slash = path.find_last_of('/');
    w.Folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    w.Name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (w.Name.empty()) return 0;
  }
  w.FolderWd = AddWd(w.Folder, wholeFolder ? kChangeMask : kFolderOfFileMask);
  if (w.FolderWd < 0) return 0;
  if (!wholeFolder) w.FileWd = AddWd(path);  // missing now is fine: the folder sees it come
  const uintptr_t id = s.NextId++;
  s.Watches[id] = std::move(w);
  return id;
}

void CloseIfUnused() {
  TWatchState& s = State();
  if (s.Watches.empty() && s.Fd >= 0) {
    close(s.Fd);
    s.Fd = -1;
  }
}

// Reads every event the kernel has queued; false when there was none.
bool ReadEvents() {
  TWatchState& s = State();
  if (s.Fd < 0) return false;
  bool any = false;
  alignas(inotify_event) char buffer[8192];
  for (;;) {
    const ssize_t n = read(s.Fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    any = true;
    for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
      at += ssize_t(sizeof(inotify_event) + e->len);
      const std::string name = e->len ? std::string(e->name) : std::string();
      for (auto& [id, w] : s.Watches) {
        if (e->mask & IN_Q_OVERFLOW) {
          MarkChanged(w);
          continue;
        }
        const bool folder = e->wd == w.FolderWd, file = e->wd == w.FileWd;
        if (!folder && !file) continue;
        if (e->mask & IN_IGNORED) {
          // The kernel dropped the descriptor (its file or folder is gone).
          if (folder) w.FolderWd = -1;
          if (file) w.FileWd = -1;
          continue;
        }
        if (file) MarkChanged(w);
        else if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) MarkChanged(w);
        else if (w.WholeFolder ? !IsEditorLeftover(name) : name == w.Name) MarkChanged(w);
      }
    }
  }
  return any;
}

}  // namespace

uintptr_t WatchFileChanges(HWND hwnd, UINT msg, const std::string& file, uint32_t settleMs) {
  return AddWatch(hwnd, msg, file, settleMs, false);
}

uintptr_t WatchFolderChanges(HWND hwnd, UINT msg, const std::string& folder, uint32_t settleMs) {
  return AddWatch(hwnd, msg, folder, settleMs, true);
}

bool StopWatchingChanges(uintptr_t id) {
  TWatchState& s = State();
  auto it = s.Watches.find(id);
  if (it == s.Watches.end()) return false;
  const TFileWatch w = it->second;
  s.Watches.erase(it);
  ReleaseWd(w.FolderWd, 0);
  ReleaseWd(w.FileWd, 0);
  WS().Posted.erase(std::remove_if(WS().Posted.begin(), WS().Posted.end(),
                                   [&](const TMsg& m) { return m.hwnd == w.Window && m.message == w.Msg && m.wParam == id; }),
                    WS().Posted.end());
  CloseIfUnused();
  return true;
}

// ---- The message loop's part ----------------------------------------------------------------------

int FileWatchDescriptor() { return State().Fd; }

bool DeliverFileChanges() {
  TWatchState& s = State();
  if (s.Watches.empty()) return false;
  ReadEvents();
  const uint64_t now = WS().Now();
  bool posted = false;
  for (auto& [id, w] : s.Watches) {
    if (!w.Pending || w.Due > now) continue;
    w.Pending = false;
    RenewDescriptors(id, w);
    posted = PostMessage(w.Window, w.Msg, id, 0) || posted;
  }
  return posted;
}

uint64_t NextFileChangeDue() {
  uint64_t next = UINT64_MAX;
  for (const auto& [id, w] : State().Watches)
    if (w.Pending) next = std::min(next, w.Due);
  return next;
}

void ForgetFileWatches(HWND hwnd) {
  std::vector<uintptr_t> ids;
  for (const auto& [id, w] : State().Watches)
    if (w.Window == hwnd) ids.push_back(id);
  for (uintptr_t id : ids) StopWatchingChanges(id);
}

void ResetFileWatches() {
  TWatchState& s = State();
  s.Watches.clear();
  CloseIfUnused();
}

// Files dropped on our windows from another program (the X drag-and-drop protocol, version 5
// and older, as a target): the drop is accepted when the source offers a "text/uri-list", and
// its entries arrive as one drop event when the source hands the data over.
#include <unistd.h>

#include <array>
#include <cctype>

#include "platform/display/x11/X11Display.h"
#include "platform/windowing/WinApi.h"

#include <X11/Xatom.h>

#include "platform/display/x11/X11DisplayInternal.h"

namespace {

// A reply to the drag's source: our window in the first word, then four more words.
void TellSource(Display* dpy, ::Window source, Atom type, ::Window ours, const std::array<long, 4>& words) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.display = dpy;
  e.xclient.window = source;
  e.xclient.message_type = type;
  e.xclient.format = 32;
  e.xclient.data.l[0] = long(ours);
  for (size_t i = 0; i < words.size(); ++i) e.xclient.data.l[i + 1] = words[i];
  XSendEvent(dpy, source, False, NoEventMask, &e);
  XFlush(dpy);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    int hi = -1, lo = -1;
    if (s[i] == '%' && i + 2 < s.size() && (hi = HexDigit(s[i + 1])) >= 0 &&
        (lo = HexDigit(s[i + 2])) >= 0) {
      out += char(hi * 16 + lo);
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  for (size_t i = 0; prefix[i]; ++i)
    if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

}  // namespace

std::vector<std::string> DroppedPaths(const std::string& uriList, const std::string& localHost) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < uriList.size()) {
    size_t end = uriList.find('\n', start);
    if (end == std::string::npos) end = uriList.size();
    std::string line = uriList.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\0')) line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (!StartsWithNoCase(line, "file:")) {
      out.push_back(line);
      continue;
    }
    std::string rest = line.substr(5);
    if (rest.rfind("//", 0) == 0) {
      // file://HOST/PATH: a local file when the host is empty, "localhost" or this machine.
      const size_t slash = rest.find('/', 2);
      const std::string host = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
      if (slash == std::string::npos || !(host.empty() || host == "localhost" || host == localHost)) {
        out.push_back(line);
        continue;
      }
      rest = rest.substr(slash);
    }
    if (rest.empty() || rest[0] != '/') {
      out.push_back(line);
      continue;
    }
    // A path with a NUL in it would open a shorter one: such an entry stays as written.
    const std::string path = PercentDecoded(rest);
    out.push_back(path.find('\0') == std::string::npos ? path : line);
  }
  return out;
}

void TX11Display::DndMessage(XEvent& e) {
  const XClientMessageEvent& m = e.xclient;
  if (m.format != 32) return;
  const ::Window source = ::Window(m.data.l[0]);
  if (m.message_type == FAtoms->XdndEnter) {
    FDndSource = source;
    FDndWindow = m.window;
    FDndTarget = FromX(m.window);
    FDndUriList = false;
    if (m.data.l[1] & 1) {
      // More than three types: the source lists them on itself.
      Atom type = 0;
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(FDpy, source, FAtoms->XdndTypeList, 0, 1024, False, XA_ATOM, &type, &format, &count,
                             &after, &data) == Success &&
          type == XA_ATOM && format == 32)
        for (unsigned long i = 0; i < count; ++i)
          if (reinterpret_cast<Atom*>(data)[i] == FAtoms->TextUriList) FDndUriList = true;
      if (data) XFree(data);
    } else {
      for (int i = 2; i <= 4; ++i)
        if (Atom(m.data.l[i]) == FAtoms->TextUriList) FDndUriList = true;
    }
    return;
  }
  if (source != FDndSource || !FDndSource) return;
  if (m.message_type == FAtoms->XdndPosition) {
    FDndPos = ToLogical(int((m.data.l[2] >> 16) & 0xFFFF), int(m.data.l[2] & 0xFFFF));
    const bool accept = FDndUriList && FDndTarget && DropTargetAt(FDndPos, FDndTarget);
    // accepted, and every position wanted; the action in the last word
    TellSource(FDpy, source, FAtoms->XdndStatus, FDndWindow,
               {accept ? 1 | 2 : 0, 0, 0, accept ? long(FAtoms->XdndActionCopy) : 0});
  } else if (m.message_type == FAtoms->XdndLeave) {
    FDndSource = 0;
    FDndTarget = nullptr;
  } else if (m.message_type == FAtoms->XdndDrop) {
    if (!FDndUriList || !FDndTarget || !DropTargetAt(FDndPos, FDndTarget)) {
      DndFinish(false);
      return;
    }
    XConvertSelection(FDpy, FAtoms->XdndSelection, FAtoms->TextUriList, FAtoms->DropProperty, FDndWindow,
                      Time(m.data.l[2]));
    XFlush(FDpy);
  }
}

void TX11Display::DndData(XEvent& e) {
  const XSelectionEvent& sel = e.xselection;
  if (!FDndSource || sel.selection != FAtoms->XdndSelection) return;
  if (sel.property == 0) {
    DndFinish(false);
    return;
  }
  std::string text;
  for (long offset = 0;;) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(FDpy, sel.requestor, sel.property, offset, 65536, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) != Success)
      break;
    if (data && format == 8) text.append(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    if (format != 8 || after == 0 || text.size() > (16u << 20)) break;
    offset += long(count / 4);
  }
  XDeleteProperty(FDpy, sel.requestor, sel.property);
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  TInputEvent d;
  d.Kind = TInputEvent::ieDropFile;
  d.Window = FDndTarget;
  d.ScreenPos = FDndPos;
  d.Files = DroppedPaths(text, host);
  const bool accepted = !d.Files.empty() && d.Window;
  if (accepted) FEvents.push_back(std::move(d));
  DndFinish(accepted);
}

void TX11Display::DndFinish(bool accepted) {
  TellSource(FDpy, FDndSource, FAtoms->XdndFinished, FDndWindow,
             {accepted ? 1 : 0, accepted ? long(FAtoms->XdndActionCopy) : 0, 0, 0});
  FDndSource = 0;
  FDndTarget = nullptr;
}

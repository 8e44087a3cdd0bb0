#pragma once
// Drops files on an X window the way a file manager does, through the drag-and-drop protocol
// (XDND version 5): enter, position, drop, then the dropped paths handed over as a
// "text/uri-list" selection when the target asks for them.
#include <cctype>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

class TXdndSource {
 public:
  explicit TXdndSource(Display* dpy) : FDpy(dpy) {
    FSource = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(dpy, FSource, PropertyChangeMask);
  }
  ~TXdndSource() { XDestroyWindow(FDpy, FSource); }
  TXdndSource(const TXdndSource&) = delete;
  TXdndSource& operator=(const TXdndSource&) = delete;

  // Drops `paths` on `target` with the pointer at (`rootX`, `rootY`); true once the target
  // has said it finished with the drop (within a few seconds).
  bool Drop(::Window target, const std::vector<std::string>& paths, int rootX, int rootY) {
    using namespace std::chrono_literals;
    const Atom uriList = XInternAtom(FDpy, "text/uri-list", False);
    const Atom selection = XInternAtom(FDpy, "XdndSelection", False);
    std::string data;
    for (const std::string& p : paths) data += "file://" + Escape(p) + "\r\n";
    XSetSelectionOwner(FDpy, selection, FSource, CurrentTime);

    Send(target, "XdndEnter", {long(FSource), 5L << 24, long(uriList), 0, 0});
    Send(target, "XdndPosition",
         {long(FSource), 0, (long(rootX) << 16) | rootY, CurrentTime, long(XInternAtom(FDpy, "XdndActionCopy", False))});
    XFlush(FDpy);
    bool dropped = false, finished = false;
    FAccepted = false;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!finished && std::chrono::steady_clock::now() < deadline) {
      while (XPending(FDpy)) {
        XEvent e;
        XNextEvent(FDpy, &e);
        if (e.type == ClientMessage && e.xclient.message_type == XInternAtom(FDpy, "XdndStatus", False) && !dropped) {
          Send(target, "XdndDrop", {long(FSource), 0, CurrentTime, 0, 0});
          dropped = true;
        } else if (e.type == ClientMessage && e.xclient.message_type == XInternAtom(FDpy, "XdndFinished", False)) {
          finished = true;
          FAccepted = (e.xclient.data.l[1] & 1) != 0;
        } else if (e.type == SelectionRequest) {
          const XSelectionRequestEvent& r = e.xselectionrequest;
          XEvent reply{};
          reply.xselection.type = SelectionNotify;
          reply.xselection.requestor = r.requestor;
          reply.xselection.selection = r.selection;
          reply.xselection.target = r.target;
          reply.xselection.time = r.time;
          reply.xselection.property = None;
          if (r.target == uriList) {
            XChangeProperty(FDpy, r.requestor, r.property, uriList, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
            reply.xselection.property = r.property;
          }
          XSendEvent(FDpy, r.requestor, False, NoEventMask, &reply);
        }
      }
      XFlush(FDpy);
      std::this_thread::sleep_for(5ms);
    }
    return finished;
  }

  // Whether the target said, when it finished, that it took the drop.
  bool Accepted() const { return FAccepted; }

 private:
  void Send(::Window target, const char* type, std::vector<long> values) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.display = FDpy;
    e.xclient.window = target;
    e.xclient.message_type = XInternAtom(FDpy, type, False);
    e.xclient.format = 32;
    for (size_t i = 0; i < 5 && i < values.size(); ++i) e.xclient.data.l[i] = values[i];
    XSendEvent(FDpy, target, False, NoEventMask, &e);
  }
  // Percent-escapes what may not stand in a URI path.
  static std::string Escape(const std::string& path) {
    std::string out;
    for (unsigned char c : path) {
      if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
        out += char(c);
      } else {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%%%02X", c);
        out += buf;
      }
    }
    return out;
  }

  Display* FDpy;
  ::Window FSource = 0;
  bool FAccepted = false;
};

#pragma once
// What the files of the X display share: the atoms it uses, interned together at start.
#include <X11/Xlib.h>

#include "platform/display/x11/X11Display.h"

struct TX11Display::TAtoms {
  // In the order of kAtomNames (X11Display.cpp).
  Atom WmProtocols, WmDeleteWindow, WmState, WmChangeState, NetWmPing, NetWmPid, NetWmName, NetWmWindowType,
      NetWmWindowTypeNormal, NetWmWindowTypePopupMenu, NetWorkArea, NetCurrentDesktop, MotifWmHints, Utf8String,
      XdndAware, XdndEnter, XdndPosition, XdndStatus, XdndLeave, XdndDrop, XdndFinished, XdndSelection,
      XdndTypeList, XdndActionCopy, TextUriList, DropProperty, NetSupportingWmCheck, NetWmState, NetWmStateMaximizedVert,
      NetWmStateMaximizedHorz, NetActiveWindow, NetWmIcon, NetStartupId, NetStartupInfoBegin, NetStartupInfo,
      NetWmWindowTypeDialog, NetWmStateModal;
};
constexpr int kAtomCount = sizeof(TX11Display::TAtoms) / sizeof(Atom);

// Splits a "text/uri-list" into the paths of its local files, percent escapes decoded; an entry
// that names no local file is kept as written, so that opening it fails with the usual
// message. `localHost` is this machine's name (a file URI may name it).
std::vector<std::string> DroppedPaths(const std::string& uriList, const std::string& localHost);

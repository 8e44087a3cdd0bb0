#pragma once
// What a dropped "text/uri-list" names, as the program opens it: a local file URI becomes its
// path, every other item (another host's file, another scheme) stays as it is, a name that no
// file has.
#include <string>
#include <vector>

// The items of the list in their order: lines ending in CR LF (or LF alone), lines that begin
// with '#' left out, as are empty ones. A file URI ("file:///path", "file:/path",
// "file://localhost/path" or "file://HOST/path" with `hostname` as HOST) is local; its path is
// percent-decoded and ends before a '?' or '#'.
std::vector<std::string> FilesOfUriList(const std::string& list, const std::string& hostname);

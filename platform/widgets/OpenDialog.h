#pragma once
// The file-open dialog: a modal form listing the folders and the files of a folder that
// match the chosen filter, with a name box that also accepts names of files that don't exist
// (unless the options ask for existing files).
#include <string>
#include <vector>

#include "platform/widgets/Forms.h"

using TOpenOptions = uint32_t;
inline constexpr TOpenOptions ofReadOnly = 1 << 0, ofOverwritePrompt = 1 << 1, ofHideReadOnly = 1 << 2,
                              ofNoChangeDir = 1 << 3, ofShowHelp = 1 << 4, ofNoValidate = 1 << 5,
                              ofAllowMultiSelect = 1 << 6, ofExtensionDifferent = 1 << 7, ofPathMustExist = 1 << 8,
                              ofFileMustExist = 1 << 9, ofCreatePrompt = 1 << 10, ofShareAware = 1 << 11,
                              ofNoReadOnlyReturn = 1 << 12, ofNoTestFileCreate = 1 << 13,
                              ofNoNetworkButton = 1 << 14, ofNoLongNames = 1 << 15, ofOldStyleDialog = 1 << 16,
                              ofNoDereferenceLinks = 1 << 17, ofEnableIncludeNotify = 1 << 18,
                              ofEnableSizing = 1 << 19;

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
  std::string ClassName() const override { return "TOpenDialog"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  // "Description|*.a;*.b|Other|*.c"
  std::string Filter;
  int FilterIndex = 1;
  std::string InitialDir;
  std::string FileName;
  std::string Title;
  std::string DefaultExt;
  TOpenOptions Options = ofHideReadOnly | ofEnableSizing;
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

  // Runs the dialog; true when the user chose a name (then in FileName, as a full path).
  virtual bool Execute();

  // The (description, patterns) pairs of Filter.
  std::vector<std::pair<std::string, std::vector<std::string>>> FilterEntries() const;
};

// Whether a file name matches one of the patterns (case-insensitive, * and ?).
bool MatchesFilter(const std::string& name, const std::vector<std::string>& patterns);

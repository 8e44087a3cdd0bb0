#include "platform/widgets/OpenDialog.h"

#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/components/PropertyBuilder.h"
#include "platform/widgets/Button.h"
#include "platform/widgets/DialogLook.h"
#include "platform/widgets/Edit.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/ListBox.h"

namespace fs = std::filesystem;

bool MatchesFilter(const std::string& name, const std::vector<std::string>& patterns) {
  for (const std::string& p : patterns) {
    if (p == "*.*" || p == "*") return true;
    if (fnmatch(p.c_str(), name.c_str(), FNM_CASEFOLD) == 0) return true;
  }
  return false;
}

std::vector<std::pair<std::string, std::vector<std::string>>> TOpenDialog::FilterEntries() const {
  std::vector<std::pair<std::string, std::vector<std::string>>> out;
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t bar = Filter.find('|', start);
    parts.push_back(Filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::vector<std::string> patterns;
    size_t s = 0;
    const std::string& list = parts[i + 1];
    for (;;) {
      const size_t semi = list.find(';', s);
      std::string p = list.substr(s, semi == std::string::npos ? std::string::npos : semi - s);
      p.erase(0, p.find_first_not_of(' '));
      if (!p.empty()) patterns.push_back(p);
      if (semi == std::string::npos) break;
      s = semi + 1;
    }
    out.push_back({parts[i], patterns});
  }
  return out;
}

namespace {

// The dialog's form: a folder list, a name box and the Open and Cancel buttons. Its controls
// come from the dialog look's makers, so a program may give them its own look.
class TOpenDialogForm : public TForm {
 public:
  TOpenDialogForm(TComponent* owner, TOpenDialog* dialog) : TForm(owner), FDialog(dialog) {
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    Position = poMainFormCenter;
    SetCaption(dialog->Title.empty() ? "Open" : dialog->Title);
    const auto entries = dialog->FilterEntries();
    if (!entries.empty()) {
      const size_t i = size_t(std::clamp(dialog->FilterIndex, 1, int(entries.size())) - 1);
      FDescription = entries[i].first;
      FPatterns = entries[i].second;
    }
    auto label = [this](const std::string& text, int x, int y) {
      auto* l = MakeDialogControl<TCustomLabel, TLabel>("TLabel", this);
      l->SetParent(this);
      l->SetLeft(x);
      l->SetTop(y);
      l->SetCaption(text);
      return l;
    };
    label("Look &in:", 8, 11);
    FFolderLabel = label("", 64, 11);
    FFolderLabel->SetAutoSize(false);
    FFolderLabel->SetShowAccelChar(false);
    FFolderLabel->SetBounds(64, 11, 344, 13);
    FList = MakeDialogControl<TListBox>("TListBox", this);
    FList->SetParent(this);
    FList->SetBounds(8, 32, 400, 180);
    FList->SetTabOrder(1);
    FList->OnClick = [this](TObject*) { ListClicked(); };
    FList->OnDblClick = [this](TObject*) { ListDoubleClicked(); };
    TCustomLabel* nameLabel = label("File &name:", 8, 227);
    FName = MakeDialogControl<TEdit>("TEdit", this);
    FName->SetParent(this);
    FName->SetBounds(88, 223, 234, 21);
    FName->SetTabOrder(0);
    nameLabel->SetFocusControl(FName);
    label("Files of &type:", 8, 255);
    TCustomLabel* type = label(FDescription.empty() ? "All files" : FDescription, 88, 255);
    type->SetShowAccelChar(false);
    FOpen = MakeDialogControl<TButton>("TButton", this);
    FOpen->SetParent(this);
    FOpen->SetBounds(333, 222, 75, 23);
    FOpen->SetCaption("&Open");
    FOpen->SetDefault(true);
    FOpen->SetTabOrder(2);
    FOpen->OnClick = [this](TObject*) { OpenClicked(); };
    auto* cancel = MakeDialogControl<TButton>("TButton", this);
    cancel->SetParent(this);
    cancel->SetBounds(333, 250, 75, 23);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    cancel->SetTabOrder(3);
    SetClientSize(416, 281);
    SetActiveControl(FName);

    std::error_code ec;
    fs::path start = dialog->InitialDir.empty() ? fs::current_path(ec) : fs::path(dialog->InitialDir);
    if (!dialog->FileName.empty()) {
      const fs::path preset(dialog->FileName);
      if (preset.has_parent_path() && fs::is_directory(preset.parent_path(), ec)) start = preset.parent_path();
      FName->SetText(preset.filename().string());
    }
    if (!fs::is_directory(start, ec)) start = fs::current_path(ec);
    EnterFolder(start);
  }

  std::string Chosen;

 private:
  void EnterFolder(const fs::path& folder) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(fs::absolute(folder, ec), ec);
    if (ec) canonical = folder;
    FFolder = canonical;
    FFolderLabel->SetCaption(FFolder.string());
    std::vector<std::string> folders, files;
    for (fs::directory_iterator it(FFolder, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
         it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.empty() || name[0] == '.') continue;
      std::error_code typeError;
      if (it->is_directory(typeError)) folders.push_back(name);
      else if (FPatterns.empty() || MatchesFilter(name, FPatterns)) files.push_back(name);
    }
    auto byName = [](const std::string& a, const std::string& b) {
      return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
      });
    };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    std::vector<std::string> items;
    FIsFolder.clear();
    if (FFolder.has_parent_path() && FFolder != FFolder.root_path()) {
      items.push_back("[..]");
      FIsFolder.push_back(true);
    }
    for (const std::string& f : folders) {
      items.push_back("[" + f + "]");
      FIsFolder.push_back(true);
    }
    for (const std::string& f : files) {
      items.push_back(f);
      FIsFolder.push_back(false);
    }
    FList->Items()->SetStrings(items);
    FList->SetItemIndex(-1);
  }

  std::string ItemName(int index) const {
    const std::string& text = (*FList->Items())[index];
    return FIsFolder[size_t(index)] ? text.substr(1, text.size() - 2) : text;
  }

  void ListClicked() {
    const int i = FList->ItemIndex();
    if (i >= 0 && !FIsFolder[size_t(i)]) FName->SetText(ItemName(i));
  }

  void ListDoubleClicked() {
    const int i = FList->ItemIndex();
    if (i < 0) return;
    if (FIsFolder[size_t(i)]) {
      EnterFolder(ItemName(i) == ".." ? FFolder.parent_path() : FFolder / ItemName(i));
      return;
    }
    FName->SetText(ItemName(i));
    OpenClicked();
  }

  void OpenClicked() {
    std::string text = FName->Text();
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    if (text.empty()) {
      const int i = FList->ItemIndex();
      if (i >= 0 && FIsFolder[size_t(i)]) ListDoubleClicked();
      return;
    }
    const fs::path typed(text);
    const fs::path full = typed.is_absolute() ? typed : FFolder / typed;
    std::error_code ec;
    if (fs::is_directory(full, ec)) {
      EnterFolder(full);
      FName->SetText("");
      return;
    }
    if (text.find_first_of("*?") != std::string::npos) {
      FPatterns = {typed.filename().string()};
      EnterFolder(full.parent_path());
      return;
    }
    if ((FDialog->Options & ofFileMustExist) && !fs::exists(full, ec)) {
      ShowMessageBox(full.filename().string() + "\nFile not found.\nPlease verify the correct file name was given.",
                     Caption(), MB_OK | MB_ICONWARNING);
      return;
    }
    if ((FDialog->Options & ofPathMustExist) && !fs::is_directory(full.parent_path(), ec)) {
      ShowMessageBox(full.parent_path().string() + "\nPath does not exist.", Caption(), MB_OK | MB_ICONWARNING);
      return;
    }
    Chosen = full.lexically_normal().string();
    SetModalResult(mrOk);
  }

  TOpenDialog* FDialog;
  fs::path FFolder;
  std::string FDescription;
  std::vector<std::string> FPatterns;
  std::vector<bool> FIsFolder;
  TCustomLabel* FFolderLabel = nullptr;
  TListBox* FList = nullptr;
  TEdit* FName = nullptr;
  TButton* FOpen = nullptr;
};

}  // namespace

bool TOpenDialog::Execute() {
  auto* form = new TOpenDialogForm(Application, this);
  PrepareDialogForm(form);
  if (OnShow) OnShow(this);
  const bool chosen = form->ShowModal() == mrOk;
  if (chosen) {
    FileName = form->Chosen;
    if (!(Options & ofNoChangeDir)) {
      std::error_code ec;
      fs::current_path(fs::path(FileName).parent_path(), ec);
    }
  }
  TComponent::Free(form);
  if (OnClose) OnClose(this);
  return chosen;
}

const TPropertyTable& TOpenDialog::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TComponent::ClassProperties());
    TPropertyBuilder<TOpenDialog> b(t);
    b.String("DefaultExt", [](TOpenDialog& d, const std::string& v) { d.DefaultExt = v; });
    b.String("FileName", [](TOpenDialog& d, const std::string& v) { d.FileName = v; });
    b.String("Filter", [](TOpenDialog& d, const std::string& v) { d.Filter = v; });
    b.Integer("FilterIndex", [](TOpenDialog& d, int64_t v) { d.FilterIndex = int(v); });
    b.String("InitialDir", [](TOpenDialog& d, const std::string& v) { d.InitialDir = v; });
    b.String("Title", [](TOpenDialog& d, const std::string& v) { d.Title = v; });
    b.Set("Options",
          {{"ofReadOnly", ofReadOnly}, {"ofOverwritePrompt", ofOverwritePrompt}, {"ofHideReadOnly", ofHideReadOnly},
           {"ofNoChangeDir", ofNoChangeDir}, {"ofShowHelp", ofShowHelp}, {"ofNoValidate", ofNoValidate},
           {"ofAllowMultiSelect", ofAllowMultiSelect}, {"ofExtensionDifferent", ofExtensionDifferent},
           {"ofPathMustExist", ofPathMustExist}, {"ofFileMustExist", ofFileMustExist}, {"ofCreatePrompt", ofCreatePrompt},
           {"ofShareAware", ofShareAware}, {"ofNoReadOnlyReturn", ofNoReadOnlyReturn},
           {"ofNoTestFileCreate", ofNoTestFileCreate}, {"ofNoNetworkButton", ofNoNetworkButton},
           {"ofNoLongNames", ofNoLongNames}, {"ofOldStyleDialog", ofOldStyleDialog},
           {"ofNoDereferenceLinks", ofNoDereferenceLinks}, {"ofEnableIncludeNotify", ofEnableIncludeNotify},
           {"ofEnableSizing", ofEnableSizing}},
          [](TOpenDialog& d, uint32_t v) { d.Options = v; });
    b.Event<TNotifyEvent>("OnShow", [](TOpenDialog& d, TNotifyEvent e) { d.OnShow = std::move(e); });
    b.Event<TNotifyEvent>("OnClose", [](TOpenDialog& d, TNotifyEvent e) { d.OnClose = std::move(e); });
    return t;
  }();
  return table;
}

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/widgets/Forms.h"
#include "skin/data/sOptionsFile.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinMessage.h"
#include "tests/skin/SkinFolderFiles.h"

namespace {

// A good skin folder: a master bitmap, a border and a check box glyph in it, and sections
// whose BUTTON colour tells the skins apart.
void WriteSkin(const TTempFolder& root, const std::string& folder, TColor buttonColor) {
  WriteBmp(root, folder + "/master.bmp", 64, 32);
  root.Write(folder + "/Options.dat",
             "[GLOBALINFO]\n"
             "VERSION=5.1\n"
             "MASTERBITMAP=master.bmp\n"
             "BOXCHECKED=@0000 0000 0048 0016 3 1\n"
             "[BUTTON]\n"
             "COLOR=" + std::to_string(buttonColor) + "\n"
             "BORDERSMASK=^0000 0016 0045 0032 0005 0005 0005 0005 3 0 1 0\n");
}

// A manager on a form of a headless application with one internal skin, a home folder of
// its own and an empty folder for the shipped skins; messages to the user are collected.
struct SkinFolders : ::testing::Test {
  THeadlessDisplay Display;
  TApplication* App = nullptr;
  TForm* Form = nullptr;
  TsSkinManager* Manager = nullptr;
  TTempFolder Home;
  TTempFolder Shipped;
  std::string SavedHome;
  std::vector<std::string> Messages;
  std::function<void(const std::string&)> SavedHandler;
  int Changes = 0;

  void SetUp() override {
    if (const char* h = std::getenv("HOME")) SavedHome = h;
    setenv("HOME", Home.Path().c_str(), 1);
    SavedHandler = SetSkinMessageHandler([this](const std::string& text) { Messages.push_back(text); });
    SetDisplay(&Display);
    App = new TApplication(nullptr);
    Form = new TForm(App);
    Manager = new TsSkinManager(Form);
    Manager->SetActive(false);
    TsStoredSkin* inside = Manager->InternalSkins()->Add();
    inside->Name = "Inside";
    inside->Version = 4.81;
    TDib master(8, 8, 24);
    inside->MasterBitmap()->LoadFromDib(master);
    TsSkinGeneral* g = inside->GeneralData()->Add();
    g->SectionName = "BUTTON";
    g->Color = 0x0000AA;
    Manager->SetShippedSkinDirectory(Shipped.Path() + "/");
    Manager->OnAfterChange = [this](TObject*) { ++Changes; };
  }
  void TearDown() override {
    TComponent::Free(App);
    SetDisplay(nullptr);
    SetSkinMessageHandler(SavedHandler);
    if (SavedHome.empty()) unsetenv("HOME");
    else setenv("HOME", SavedHome.c_str(), 1);
  }
  TColor ButtonColor() const {
    const int i = Manager->FindSection("BUTTON");
    return i < 0 ? -2 : Manager->Sections()[size_t(i)].Color;
  }
};

TEST(SkinPaths, DriveLetterPathsAreTheUsersOwnFolder) {
  TTempFolder home;
  const char* saved = std::getenv("HOME");
  const std::string keep = saved ? saved : "";
  setenv("HOME", (home.Path() + "/").c_str(), 1);
  EXPECT_EQ(SkinFsPath("c:\\Skins\\Amber\\Options.dat"), home.Path() + "/Skins/Amber/Options.dat");
  EXPECT_EQ(SkinFsPath("D:/Other\\x.bmp"), home.Path() + "/Other/x.bmp");
  EXPECT_EQ(SkinFsPath("c:\\"), home.Path() + "/");
  EXPECT_EQ(SkinFsPath("/opt/app/Skins\\Blue\\Options.dat"), "/opt/app/Skins/Blue/Options.dat");
  EXPECT_EQ(SkinFsPath("Skins\\a.bmp"), "Skins/a.bmp");
  EXPECT_EQ(SkinFsPath("1:\\x"), "1:/x");  // not a drive letter
  // The stored setting, resolved as ever, lands in the home folder once the file system is asked.
  EXPECT_EQ(SkinFsPath(ResolveSkinDirectory("c:\\Skins", "/opt/app/bin/") + "Amber\\"), home.Path() + "/Skins/Amber/");
  if (saved) setenv("HOME", keep.c_str(), 1);
  else unsetenv("HOME");
  EXPECT_EQ(ShippedSkinDirectory(), ProgramFolder() + "../share/maruk-rom-viewer/skins/");
}

TEST_F(SkinFolders, TheUsersFolderComesFirstThenTheShippedOnesThenTheInternalSkins) {
  WriteSkin(Home, "Skins/Same", 0x000011);
  WriteSkin(Home, "Skins/UserOnly", 0x000022);
  WriteSkin(Shipped, "Same", 0x000033);
  WriteSkin(Shipped, "Shipped", 0x000044);
  WriteSkin(Shipped, "Inside", 0x000055);  // a folder named like the internal skin
  Shipped.Write("NoOptions/readme.txt", "");
  Shipped.Write(".Hidden/Options.dat", "[BUTTON]\n");
  EXPECT_EQ(Manager->SkinDirectory(), "c:\\Skins");
  std::vector<std::string> names;
  std::string first;
  Manager->GetSkinNames(names, first);
  EXPECT_EQ(names, (std::vector<std::string>{"Inside", "Same", "Shipped", "UserOnly"}));
  EXPECT_EQ(first, "Inside");

  Manager->SetActive(true);
  Manager->SetSkinName("Same");
  EXPECT_EQ(ButtonColor(), 0x000011);
  EXPECT_EQ(SkinFsPath(Manager->SkinData().SkinPath), Home.Path() + "/Skins/Same/");
  EXPECT_TRUE(Manager->SkinData().Ready);
  EXPECT_EQ(Manager->SkinInfo(), "5.1");
  EXPECT_GE(Manager->Indexes().CheckBoxChecked, 0);
  Manager->SetSkinName("Shipped");
  EXPECT_EQ(ButtonColor(), 0x000044);
  EXPECT_EQ(Manager->SkinData().SkinPath, Shipped.Path() + "/Shipped\\");
  Manager->SetSkinName("Inside");  // the folder wins over the internal skin of that name
  EXPECT_EQ(ButtonColor(), 0x000055);
  std::filesystem::remove_all(Shipped.Path() + "/Inside");
  Manager->SetSkinName("Inside");
  EXPECT_EQ(ButtonColor(), 0x0000AA);
  EXPECT_EQ(Manager->SkinData().SkinPath, "");
  Manager->SetSkinName("../Shipped");  // names are folder names, never paths
  EXPECT_EQ(Manager->SkinName(), "Inside");
  EXPECT_TRUE(Messages.empty());
}

// A skin copied from a disk that ignores case: its options file and pictures in other cases.
TEST_F(SkinFolders, AFolderWithItsFilesInAnotherCaseIsListedAndLoads) {
  WriteBmp(Home, "Skins/Lower/MASTER.BMP", 64, 32);
  Home.Write("Skins/Lower/options.dat",
             "[GLOBALINFO]\n"
             "VERSION=5,1\n"
             "MASTERBITMAP=Master.bmp\n"
             "BOXCHECKED=@0000 0000 0048 0016 3 1\n"
             "[BUTTON]\n"
             "COLOR=4660\n");
  Home.Write("Skins/NoOptions/Options.txt", "[BUTTON]\n");
  std::vector<std::string> names;
  std::string first;
  Manager->GetSkinNames(names, first);
  EXPECT_EQ(names, (std::vector<std::string>{"Inside", "Lower"}));

  Manager->SetActive(true);
  Manager->SetSkinName("Lower");
  EXPECT_TRUE(Messages.empty()) << Messages[0];
  EXPECT_EQ(Manager->SkinName(), "Lower");
  EXPECT_EQ(ButtonColor(), 4660);
  ASSERT_TRUE(Manager->MasterBitmap());
  EXPECT_EQ(Manager->MasterBitmap()->Width(), 64);
  EXPECT_GE(Manager->Indexes().CheckBoxChecked, 0);
  EXPECT_EQ(Manager->SkinInfo(), "0");  // "5,1" is no number: no version, but no refusal
}

TEST_F(SkinFolders, CommonSectionsAreAddedToFolderSkinsAndInternalOnes) {
  WriteSkin(Home, "Skins/Folder", 0x000011);
  Manager->SetActive(true);
  Manager->SetSkinName("Folder");
  Manager->SetCommonSections({"[BUTTON]", "COLOR = 255", "[EXTRA ]", "PARENTCLASS=Button", "; COLOR=1"});
  EXPECT_EQ(ButtonColor(), 0x000011);  // the skin's own section is found first
  const int extra = Manager->FindSection("EXTRA");  // blanks are removed from the lines
  ASSERT_GE(extra, 0);
  EXPECT_EQ(Manager->Sections()[size_t(extra)].Color, 0x000011);
  EXPECT_EQ(Manager->Sections().size(), 4u);
  EXPECT_EQ(Manager->CommonSections()[4], "; COLOR=1");
  Manager->SetSkinName("Inside");
  EXPECT_EQ(ButtonColor(), 0x0000AA);
  ASSERT_GE(Manager->FindSection("EXTRA"), 0);
  EXPECT_EQ(Manager->Sections().back().Color, 0x0000AA);
}

// Each kind of damage: the skin in use stays, as every control sees it, and the user is told
// which skin could not be loaded and why.
TEST_F(SkinFolders, ADamagedSkinKeepsTheSkinInUse) {
  WriteSkin(Home, "Skins/Good", 0x000011);
  Manager->SetActive(true);
  Manager->SetSkinName("Good");
  ASSERT_EQ(ButtonColor(), 0x000011);
  const std::string goodPath = Manager->SkinData().SkinPath;
  const size_t goodMasks = Manager->Masks().size();

  struct TDamage {
    const char* Name;
    std::function<void(const std::string& folder)> Make;
    const char* Reason;
  };
  auto options = [&](const std::string& folder, const std::string& text) { Home.Write(folder + "/Options.dat", text); };
  auto truncate = [&](const std::string& path, size_t size) { std::filesystem::resize_file(path, size); };
  const std::vector<TDamage> damages = {
      {"TruncatedMaster", [&](const std::string& f) { truncate(Home.Path() + "/" + f + "/master.bmp", 100); },
       "BMP file is truncated"},
      {"MissingMaster", [&](const std::string& f) { std::filesystem::remove(Home.Path() + "/" + f + "/master.bmp"); },
       "named by MASTERBITMAP is missing"},
      {"TruncatedMask",
       [&](const std::string& f) {
         const std::string p = WriteBmp(Home, f + "/PART.BMP", 30, 20);
         truncate(p, 60);
         options(f, "[BUTTON]\nCOLOR=1\nBORDERSMASK=!PART.BMP!3!1!0\n");
       },
       "PART.BMP cannot be read"},
      {"BadNumber", [&](const std::string& f) { options(f, "[BUTTON]\nGLYPHMASK=@01x7 0154 0195 0190 3 1\n"); },
       "columns 2-5"},
      {"BadShadow", [&](const std::string& f) { options(f, "[GLOBALINFO]\nSHADOW1COLOR=red\n"); },
       "SHADOW1COLOR: \"red\" is not a number"},
      {"HugeBmp",
       [&](const std::string& f) {
         const std::string p = WriteBmp(Home, f + "/master.bmp", 4, 4);
         std::string bytes;
         {
           std::ifstream in(p, std::ios::binary);
           bytes.assign(std::istreambuf_iterator<char>(in), {});
         }
         bytes[18] = char(0xA0), bytes[19] = char(0x86), bytes[20] = char(0x01);  // width 100000
         Home.Write(f + "/master.bmp", bytes);
       },
       "master.bmp cannot be read"},
      {"CorruptJpeg",
       [&](const std::string& f) {
         Home.Write(f + "/tile.jpg", "\xFF\xD8\xFF\xE0 this is no picture");
         options(f, "[FORM]\nPATTERN=tile.jpg\n");
       },
       "tile.jpg cannot be read"},
      {"HugeJpeg",
       [&](const std::string& f) {
         std::vector<uint8_t> jpeg = JpegBytes(8, 8);
         for (size_t i = 0; i + 8 < jpeg.size(); ++i)
           if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {  // frame header: height and width
             jpeg[i + 5] = jpeg[i + 7] = 0xFF;
             jpeg[i + 6] = jpeg[i + 8] = 0x00;
             break;
           }
         WriteBytes(Home, f + "/tile.jpg", jpeg);
         options(f, "[FORM]\nPATTERN=tile.jpg\n");
       },
       "JPEG picture is too large"},
      {"OversizedOptions",
       [&](const std::string& f) { truncate(Home.Path() + "/" + f + "/Options.dat", TsOptionsFile::kMaxFileSize + 1); },
       "Options.dat cannot be read"},
      {"NoSections", [&](const std::string& f) { options(f, "just some text\n"); }, "no sections"},
  };
  for (const TDamage& damage : damages) {
    SCOPED_TRACE(damage.Name);
    WriteSkin(Home, std::string("Skins/") + damage.Name, 0x000099);
    damage.Make(std::string("Skins/") + damage.Name);
    Messages.clear();
    Changes = 0;
    Manager->SetSkinName(damage.Name);
    EXPECT_EQ(Manager->SkinName(), "Good");
    EXPECT_EQ(ButtonColor(), 0x000011);
    EXPECT_EQ(Manager->SkinData().SkinPath, goodPath);
    EXPECT_EQ(Manager->Masks().size(), goodMasks);
    EXPECT_TRUE(Manager->SkinData().Ready);
    EXPECT_FALSE(SkinIsChanging());
    EXPECT_EQ(Changes, 1);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_NE(Messages[0].find(std::string("The skin \"") + damage.Name + "\" cannot be loaded"), std::string::npos)
        << Messages[0];
    EXPECT_NE(Messages[0].find(damage.Reason), std::string::npos) << Messages[0];
    EXPECT_NE(Messages[0].find("The skin in use stays active."), std::string::npos) << Messages[0];
  }
  // With no skin to keep (nothing loaded yet), the internal skin takes over.
  Manager->SetActive(false);
  Messages.clear();
  Manager->SetSkinName("BadNumber");
  Manager->SetActive(true);
  EXPECT_EQ(Manager->SkinName(), "Inside");
  EXPECT_EQ(ButtonColor(), 0x0000AA);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_NE(Messages[0].find("internal skin is used instead"), std::string::npos);
}

TEST(SkinMessages, GoThroughTheHandlerThatIsSet) {
  std::string seen;
  auto previous = SetSkinMessageHandler([&](const std::string& text) { seen = text; });
  ShowSkinMessage("hello");
  EXPECT_EQ(seen, "hello");
  SetSkinMessageHandler(previous);
}

}  // namespace

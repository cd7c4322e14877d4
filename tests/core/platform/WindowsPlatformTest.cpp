// The Windows side of the platform layer, against the system itself (run under Wine here):
// the registry read through keys the test writes, drive-letter paths, names outside the
// ANSI code page, command lines quoted for the runtime's parser.
#ifdef _WIN32

#include "config/SearchIndex.h"
#include "platform/Arguments.h"
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/TempFile.h"
#include "platform/WinText.h"
#include "support/DualStringList.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

#include <shellapi.h>

namespace {

using ut::platform::Narrow;
using ut::platform::Widen;

// A key of its own under Software, written through the given view and deleted afterwards.
class TestKey {
  public:
    TestKey(HKEY root, REGSAM view) : FRoot(root), FView(view) {
        FName = "UniTraceTest-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount64()) + (view == KEY_WOW64_32KEY ? "-32" : "-64");
    }
    ~TestKey() { RegDeleteTreeW(Open(FRoot, "Software", FView), Widen(FName).c_str()); }
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;

    std::string Path() const { return "Software\\" + FName; }

    void SetString(const std::string& sub, const std::string& name, const std::string& text) {
        const std::wstring data = Widen(text);
        Set(sub, name, REG_SZ, data.c_str(), (data.size() + 1) * sizeof(wchar_t));
    }
    void SetDword(const std::string& sub, const std::string& name, DWORD value) {
        Set(sub, name, REG_DWORD, &value, sizeof value);
    }

  private:
    static HKEY Open(HKEY root, const std::string& path, REGSAM view) {
        HKEY h = nullptr;
        RegCreateKeyExW(root, Widen(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                        &h, nullptr);
        return h;
    }
    void Set(const std::string& sub, const std::string& name, DWORD type, const void* data,
             size_t size) {
        const HKEY h = Open(FRoot, Path() + (sub.empty() ? "" : "\\" + sub), FView);
        ASSERT_NE(h, nullptr);
        ASSERT_EQ(RegSetValueExW(h, Widen(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                                 static_cast<DWORD>(size)),
                  ERROR_SUCCESS);
        RegCloseKey(h);
    }

    HKEY FRoot;
    REGSAM FView;
    std::string FName;
};

TEST(WindowsRegistryTest, ReadsKeysTheSystemHolds) {
    TestKey user(HKEY_CURRENT_USER, KEY_WOW64_64KEY);
    user.SetString("5.0\\Library", "Search Path", "$(DELPHI)\\Lib;C:\\Kómponents\\Ж");
    user.SetDword("5.0\\Library", "Version", 1300);
    user.SetString("6.0", "RootDir", "C:\\Delphi6");
    TestKey machine32(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY);
    machine32.SetString("", "RootDir", "C:\\Program Files (x86)\\Borland\\Delphi5");

    ut::RegistryStore store = ut::RegistryStore::FromEnvironment();
    EXPECT_EQ(
        store.ReadString(ut::RegRoot::CurrentUser, user.Path() + "\\5.0\\Library", "search path"),
        "$(DELPHI)\\Lib;C:\\Kómponents\\Ж");
    const ut::RegValue* version =
        store.ReadValue(ut::RegRoot::CurrentUser, user.Path() + "\\5.0\\LIBRARY", "Version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->Type, ut::RegDword);
    EXPECT_EQ(version->Number, 1300u);
    EXPECT_EQ(store.SubKeyNames(ut::RegRoot::CurrentUser, "\\" + user.Path()),
              (std::vector<std::string>{"5.0", "6.0"}));
    EXPECT_FALSE(store.KeyExists(ut::RegRoot::CurrentUser, user.Path() + "\\7.0"));
    // Written through the 32-bit view only, the key is found all the same.
    EXPECT_EQ(store.ReadString(ut::RegRoot::LocalMachine, machine32.Path(), "RootDir"),
              "C:\\Program Files (x86)\\Borland\\Delphi5");
}

TEST(WindowsRegistryTest, AFileWinsOverTheSystem) {
    TestKey user(HKEY_CURRENT_USER, KEY_WOW64_64KEY);
    user.SetString("", "Search Path", "C:\\System");
    user.SetString("", "Browsing Path", "C:\\Browse");
    ut::RegistryStore store = ut::RegistryStore::FromEnvironment();
    store.AddText("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + user.Path() +
                  "]\r\n\"Search Path\"=\"C:\\\\FromFile\"\r\n");
    EXPECT_EQ(store.ReadString(ut::RegRoot::CurrentUser, user.Path(), "Search Path"),
              "C:\\FromFile");
    EXPECT_EQ(store.ReadString(ut::RegRoot::CurrentUser, user.Path(), "Browsing Path"),
              "C:\\Browse");
}

// A directory of its own in the temporary directory, removed afterwards.
class WindowsFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = ut::platform::TempDirectory() + "\\ut-win-" + std::to_string(GetTickCount64());
        ASSERT_TRUE(CreateDirectoryW(Widen(dir).c_str(), nullptr));
    }
    void TearDown() override {
        for (const std::string& f : written)
            DeleteFileW(Widen(f).c_str());
        RemoveDirectoryW(Widen(dir).c_str());
    }
    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = dir + "\\" + name;
        const HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
        DWORD n = 0;
        WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
        CloseHandle(h);
        written.push_back(path);
        return path;
    }

    std::string dir;
    std::vector<std::string> written;
};

TEST_F(WindowsFilesTest, ANameOutsideTheAnsiCodePageIsListedIndexedAndRead) {
    const std::string name = "Ünïcødé_Ж.pas";
    Write(name, "unit Ünïcødé_Ж;");
    Write("Plain.PAS", "unit Plain;");

    EXPECT_EQ(ut::fs::ListFiles(dir, "*.pas"), (std::vector<std::string>{"Plain.PAS", name}));
    ut::TListedDirectories listed;
    ut::TDualStringList units;
    ut::AddUnitFiles(dir, "", listed, units);
    const int i = units.IndexOf("Ünïcødé_Ж");
    ASSERT_GE(i, 0);
    EXPECT_EQ(units.Duals(i), dir + "\\" + name);
    EXPECT_EQ(ut::LoadFileText(units.Duals(i)), "unit Ünïcødé_Ж;");
    EXPECT_TRUE(ut::fs::FileExists(dir + "/Ünïcødé_Ж.PAS"));
    EXPECT_FALSE(ut::fs::FileExists(dir));
    EXPECT_TRUE(ut::fs::DirectoryExists(dir + "\\"));

    // A directory named in an environment variable (PATH, the registry files) too.
    ASSERT_EQ(_wputenv_s(L"UNITRACE_TEST_DIR", Widen(dir + "\\" + name).c_str()), 0);
    EXPECT_EQ(ut::platform::EnvironmentVariable("UNITRACE_TEST_DIR"), dir + "\\" + name);
    _wputenv_s(L"UNITRACE_TEST_DIR", L"");
}

TEST_F(WindowsFilesTest, DriveLetterPaths) {
    Write("Unit1.pas", "unit Unit1;");
    ASSERT_TRUE(ut::fs::IsDrivePath(dir)) << dir;
    // Both separators, letter case and ".." are the system's to resolve.
    const std::string mixed =
        dir.substr(0, 2) + ut::fs::ToNative(dir.substr(2)) + "/Sub/../UNIT1.pas";
    EXPECT_EQ(ut::fs::ExpandFileName(mixed), dir + "\\UNIT1.pas");
    EXPECT_TRUE(ut::fs::FileExists(mixed));
    EXPECT_EQ(ut::fs::LongFileName(dir + "\\unit1.pas").size(), (dir + "\\Unit1.pas").size());

    struct Split {
        const char* path;
        const char* filePath;
        const char* fileDir;
        const char* fileName;
    };
    for (const Split& s :
         {Split{"C:\\dir\\file.pas", "C:\\dir\\", "C:\\dir", "file.pas"},
          Split{"C:/dir/file.pas", "C:/dir/", "C:/dir", "file.pas"},
          Split{"C:\\file.pas", "C:\\", "C:\\", "file.pas"},
          Split{"C:file.pas", "C:", "C:", "file.pas"}, Split{"file.pas", "", "", "file.pas"}}) {
        EXPECT_EQ(ut::fs::ExtractFilePath(s.path), s.filePath) << s.path;
        EXPECT_EQ(ut::fs::ExtractFileDir(s.path), s.fileDir) << s.path;
        EXPECT_EQ(ut::fs::ExtractFileName(s.path), s.fileName) << s.path;
    }
    for (const char* full : {"C:\\x", "c:/x", "\\\\server\\share\\x"})
        EXPECT_TRUE(ut::fs::IsFullPath(full)) << full;
    for (const char* relative : {"C:x", "x\\y", "\\x", ""})
        EXPECT_FALSE(ut::fs::IsFullPath(relative)) << relative;
    EXPECT_EQ(ut::fs::FileKey("C:\\dir.x\\Unit1.pas"), "Unit1");
    EXPECT_EQ(ut::fs::IncludeTrailingPathDelimiter("C:\\dir"), "C:\\dir\\");
}

TEST(WindowsProcessTest, CommandLinesSplitBackIntoTheirArguments) {
    const std::vector<std::vector<std::string>> cases = {
        {"C:\\Program Files\\tdump.exe", "-e", "C:\\My Files\\a.exe"},
        {"tdump", "", "a b", "tab\there"},
        {"tdump", "say \"hi\"", "\"", "end\\"},
        {"tdump", "C:\\dir with blank\\", "a\\\\\"b", "\\\\server\\share"},
        {"tdump", "Ünïcødé_Ж", "x\\y"},
    };
    for (const auto& argv : cases) {
        const std::string line = ut::platform::QuoteCommandLine(argv);
        int count = 0;
        wchar_t** parsed = CommandLineToArgvW(Widen(line).c_str(), &count);
        ASSERT_NE(parsed, nullptr) << line;
        std::vector<std::string> back;
        for (int i = 0; i < count; ++i)
            back.push_back(Narrow(parsed[i]));
        LocalFree(parsed);
        EXPECT_EQ(back, argv) << line;
    }
}

TEST(WindowsProcessTest, ARunWritesItsOutputAndExitCode) {
    // The test program itself, asked to list nothing, exits with 0 and writes to its output.
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string out = ut::platform::CreateTempFile(ut::platform::TempDirectory(), "ut-run");
    ASSERT_FALSE(out.empty());
    const ut::platform::TProcessResult r = ut::platform::RunProcess(
        {Narrow(self), "--gtest_list_tests", "--gtest_filter=WindowsProcessTest.*"}, out,
        std::chrono::seconds(60));
    EXPECT_TRUE(r.Started) << r.Error;
    EXPECT_EQ(r.ExitCode, 0);
    // The test runner's banner line comes first; the console's text mode ends lines with CR LF.
    const std::string text = ut::LoadFileText(out);
    EXPECT_EQ(text.rfind("Running main() from ", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.find("\r\n") + 2),
              "WindowsProcessTest.\r\n  CommandLinesSplitBackIntoTheirArguments\r\n"
              "  ARunWritesItsOutputAndExitCode\r\n");
    DeleteFileW(Widen(out).c_str());
    const ut::platform::TProcessResult missing =
        ut::platform::RunProcess({"C:\\no\\such\\program.exe"}, out, std::chrono::seconds(5));
    EXPECT_FALSE(missing.Started);
    EXPECT_NE(missing.Error.find("cannot run C:\\no\\such\\program.exe: "), std::string::npos);
    DeleteFileW(Widen(out).c_str());
}

} // namespace

#endif

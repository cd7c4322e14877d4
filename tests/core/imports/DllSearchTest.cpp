#include "imports/DllSearch.h"

#include "ImportTestUtil.h"
#include "imports/ImportReader.h"
#include "imports/LdSoConf.h"
#include "platform/FileSystem.h"
#include "support/Exceptions.h"

#include <gtest/gtest.h>

namespace ut {
namespace {

using Names = std::vector<std::string>;

/// A small file-system world: a current directory, the inspected file's directory, PATH,
/// LD_LIBRARY_PATH, an ld.so.conf with includes, standard library directories and a Wine
/// prefix, each a directory of the scratch area.
class DllSearchTest : public ::testing::Test {
  protected:
    DllSearchTest() {
        for (const char* d : {"cwd/rel", "inspected", "wine/drive_c/windows/system32",
                              "wine/drive_c/windows/syswow64"})
            std::filesystem::create_directories(FDir / d);
        test::WriteFile(FDir / "conf/ld.so.conf", "# the loader's directories\n"
                                                  "include conf.d/*.conf\n"
                                                  "hwcap 1 nosegneg\n" +
                                                      FDir / "confdir2" +
                                                      "=libc6   # old-style type suffix\n");
        test::WriteFile(FDir / "conf/conf.d/b.conf", FDir / "confdir2" + "\n");
        test::WriteFile(FDir / "conf/conf.d/a.conf",
                        FDir / "confdir1" + "\ninclude ../ld.so.conf\n");
        test::WriteFile(FDir / "conf/conf.d/a.conf.disabled", FDir / "std1" + "\n");
    }

    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the shared-library search (ld.so.conf, LD_LIBRARY_PATH) is Linux-only";
#endif
    }
    TDllSearchEnv Env() const {
        TDllSearchEnv env;
        env.CurrentDir = FDir / "cwd";
        env.Path = FDir / "path1" + ":rel:";
        env.LdLibraryPath = FDir / "ld";
        env.LdSoConf = FDir / "conf/ld.so.conf";
        env.StandardLibDirs = {FDir / "std1", FDir / "std2"};
        env.WinePrefix = FDir / "wine";
        return env;
    }

    test::TScratchDir FDir;
};

TEST_F(DllSearchTest, SearchOrderDependsOnTheKindOfName) {
    // ld.so.conf: includes are followed once each, in name order; comments and suffixes go.
    EXPECT_EQ(ReadLdSoConf(FDir / "conf/ld.so.conf"),
              (Names{FDir / "confdir1", FDir / "confdir2", FDir / "confdir2"}));
    const TDllSearch search(Env());
    const std::string cwd = FDir / "cwd", inspected = FDir / "inspected";
    EXPECT_EQ(search.SearchDirs("libz.so.1", inspected),
              (Names{cwd, inspected, FDir / "path1", cwd + "/rel", FDir / "ld", FDir / "confdir1",
                     FDir / "confdir2", FDir / "std1", FDir / "std2"}));
    EXPECT_EQ(
        search.SearchDirs("USER32.dll", inspected + "/"),
        (Names{cwd, inspected, FDir / "path1", cwd + "/rel", FDir / "wine/drive_c/windows/system32",
               FDir / "wine/drive_c/windows/syswow64"}));
    TDllSearchEnv env = Env();
    env.WinePrefix = FDir / "no-such-prefix";
    EXPECT_EQ(TDllSearch(env).SearchDirs("a.dll", ""), (Names{cwd, FDir / "path1", cwd + "/rel"}));
}

TEST_F(DllSearchTest, FirstDirectoryInOrderWinsWithLetterCaseForDllsOnly) {
    for (const char* file :
         {"inspected/shared.dll", "path1/shared.dll", "cwd/rel/onpath.dll",
          "wine/drive_c/windows/system32/KERNEL32.dll",
          "wine/drive_c/windows/syswow64/kernel32.dll", "ld/libz.so.1", "std2/libz.so.1",
          "path1/Mixed.DLL", "path1/mixed.dll", "path1/Upper.DLL", "std1/libq.so.1",
          "path1/libelf.so.1", "wine/drive_c/windows/system32/libwine.so.1", "path1/a.dll"})
        test::WriteFile(FDir / file, "x");
    const TDllSearch search(Env());
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"shared.dll", "inspected/shared.dll"},
        {"kernel32.dll", "wine/drive_c/windows/system32/KERNEL32.dll"},
        {"libz.so.1", "ld/libz.so.1"},
        {"mixed.dll", "path1/mixed.dll"}, // the exact spelling is preferred
        {"upper.dll", "path1/Upper.DLL"},
        {"LIBQ.so.1", ""},
        {"libq.so.1", "std1/libq.so.1"},
        {"libelf.so.1", "path1/libelf.so.1"}, // on PATH like any other file
        {"libwine.so.1", ""},                 // each kind of name in its own directories
        {"*.dll", ""},
        {FDir / "path1/a.dll", "path1/a.dll"},
        {"rel/onpath.dll", ""}, // relative paths are not searched
        {FDir / "path1/none.dll", ""}};
    for (const auto& [name, found] : cases)
        EXPECT_EQ(search.ResolveDll(name, FDir / "inspected"), found.empty() ? "" : FDir / found)
            << name;
    for (const char* elf : {"libc.so.6", "libfoo.so", "ld-linux-x86-64.so.2"})
        EXPECT_TRUE(TDllSearch::IsElfName(elf)) << elf;
    for (const char* dll : {"KERNEL32.dll", "so.dll", "libso", "x.sox"})
        EXPECT_FALSE(TDllSearch::IsElfName(dll)) << dll;
}

TEST(DllSearchSystem, FindsTheSharedLibrariesOfASystemBinary) {
#ifdef _WIN32
    GTEST_SKIP() << "the shared-library search (ld.so.conf, LD_LIBRARY_PATH) is Linux-only";
#endif
    std::vector<std::string> needed;
    try {
        needed = ReadImports("/bin/ls");
    } catch (const Exception&) {
        GTEST_SKIP() << "no /bin/ls";
    }
    ASSERT_FALSE(needed.empty());
    for (const std::string& name : needed) {
        const std::string path = ResolveDll(name, "/bin");
        EXPECT_EQ(fs::ExtractFileName(path), name) << name << " -> " << path;
        EXPECT_EQ(path[0], '/') << path;
    }
}

} // namespace
} // namespace ut

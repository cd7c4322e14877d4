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
        for (const char* d :
             {"cwd/rel", "inspected", "path1", "ld", "conf/conf.d", "confdir1", "confdir2", "std1",
              "std2", "wine/drive_c/windows/system32", "wine/drive_c/windows/syswow64"})
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

    void Put(const std::string& relPath) { test::WriteFile(FDir / relPath, "x"); }

    test::TScratchDir FDir;
};

TEST_F(DllSearchTest, LdSoConfFollowsIncludesOnce) {
    EXPECT_EQ(ReadLdSoConf(FDir / "conf/ld.so.conf"),
              (Names{FDir / "confdir1", FDir / "confdir2", FDir / "confdir2"}));
    EXPECT_EQ(ReadLdSoConf(FDir / "conf/missing.conf"), Names{});
}

TEST_F(DllSearchTest, SearchOrderDependsOnTheKindOfName) {
    const TDllSearch search(Env());
    const std::string cwd = FDir / "cwd", inspected = FDir / "inspected";
    EXPECT_EQ(search.SearchDirs("libz.so.1", inspected),
              (Names{cwd, inspected, FDir / "path1", cwd + "/rel", FDir / "ld", FDir / "confdir1",
                     FDir / "confdir2", FDir / "std1", FDir / "std2"}));
    EXPECT_EQ(
        search.SearchDirs("USER32.dll", inspected + "/"),
        (Names{cwd, inspected, FDir / "path1", cwd + "/rel", FDir / "wine/drive_c/windows/system32",
               FDir / "wine/drive_c/windows/syswow64"}));
}

TEST_F(DllSearchTest, NoWineDirectoriesWithoutAPrefix) {
    TDllSearchEnv env = Env();
    env.WinePrefix = FDir / "no-such-prefix";
    const std::string cwd = FDir / "cwd";
    EXPECT_EQ(TDllSearch(env).SearchDirs("a.dll", ""), (Names{cwd, FDir / "path1", cwd + "/rel"}));
}

TEST_F(DllSearchTest, FirstDirectoryInOrderWins) {
    Put("inspected/shared.dll");
    Put("path1/shared.dll");
    Put("cwd/rel/onpath.dll");
    Put("wine/drive_c/windows/syswow64/old.dll");
    Put("wine/drive_c/windows/system32/KERNEL32.dll");
    Put("wine/drive_c/windows/syswow64/kernel32.dll");
    Put("ld/libz.so.1");
    Put("std2/libz.so.1");
    Put("confdir2/libconf.so");
    Put("std2/libstd.so.6");
    Put("cwd/libcwd.so.2");
    Put("inspected/libcwd.so.2");
    const TDllSearch search(Env());
    const std::string inspected = FDir / "inspected";

    const struct {
        const char* Name;
        std::string Expected;
    } cases[] = {
        {"shared.dll", FDir / "inspected/shared.dll"},
        {"onpath.dll", FDir / "cwd/rel/onpath.dll"},
        {"old.dll", FDir / "wine/drive_c/windows/syswow64/old.dll"},
        {"kernel32.dll", FDir / "wine/drive_c/windows/system32/KERNEL32.dll"},
        {"libz.so.1", FDir / "ld/libz.so.1"},
        {"libconf.so", FDir / "confdir2/libconf.so"},
        {"libstd.so.6", FDir / "std2/libstd.so.6"},
        {"libcwd.so.2", FDir / "cwd/libcwd.so.2"},
        {"missing.dll", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(search.ResolveDll(c.Name, inspected), c.Expected) << c.Name;
}

TEST_F(DllSearchTest, LetterCaseMattersForElfNamesOnly) {
    Put("path1/Mixed.DLL");
    Put("path1/mixed.dll");
    Put("path1/Upper.DLL");
    Put("std1/libq.so.1");
    Put("path1/libelf.so.1"); // a shared object found on PATH like any other file
    const TDllSearch search(Env());

    EXPECT_EQ(search.ResolveDll("mixed.dll", ""), FDir / "path1/mixed.dll")
        << "the exact spelling is preferred";
    EXPECT_EQ(search.ResolveDll("upper.dll", ""), FDir / "path1/Upper.DLL");
    EXPECT_EQ(search.ResolveDll("LIBQ.so.1", ""), "");
    EXPECT_EQ(search.ResolveDll("libq.so.1", ""), FDir / "std1/libq.so.1");
    EXPECT_EQ(search.ResolveDll("libelf.so.1", ""), FDir / "path1/libelf.so.1");
}

TEST_F(DllSearchTest, KindsOfNamesStayInTheirOwnDirectories) {
    Put("wine/drive_c/windows/system32/libwine.so.1");
    Put("std1/loader.dll");
    const TDllSearch search(Env());
    EXPECT_EQ(search.ResolveDll("libwine.so.1", ""), "");
    EXPECT_EQ(search.ResolveDll("loader.dll", ""), "");
}

TEST_F(DllSearchTest, OddNames) {
    Put("path1/a.dll");
    const TDllSearch search(Env());
    EXPECT_EQ(search.ResolveDll("", ""), "");
    EXPECT_EQ(search.ResolveDll("*.dll", ""), "") << "wildcards never match";
    EXPECT_EQ(search.ResolveDll("?.dll", ""), "");
    EXPECT_EQ(search.ResolveDll(FDir / "path1/a.dll", ""), FDir / "path1/a.dll");
    EXPECT_EQ(search.ResolveDll("path1/a.dll", FDir.Path()), "") << "relative path";
    EXPECT_EQ(search.ResolveDll(FDir / "path1/none.dll", ""), "");
}

TEST(DllSearchNames, ElfNamesAreSharedObjects) {
    for (const char* elf : {"libc.so.6", "libfoo.so", "ld-linux-x86-64.so.2"})
        EXPECT_TRUE(TDllSearch::IsElfName(elf)) << elf;
    for (const char* dll : {"KERNEL32.dll", "rtl70.bpl", "so.dll", "libso", "x.sox"})
        EXPECT_FALSE(TDllSearch::IsElfName(dll)) << dll;
}

TEST(DllSearchSystem, FindsTheSharedLibrariesOfASystemBinary) {
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

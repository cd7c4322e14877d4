#include "imports/ImportReader.h"

#include "ElfBuilder.h"
#include "ImportTestUtil.h"
#include "platform/Process.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace ut {
namespace {

using Names = std::vector<std::string>;

struct TPeCase {
    const char* File;
    Names Imports;   ///< import directory, then delay imports
    size_t Ordinary; ///< how many come from the import directory
};

const TPeCase PeCases[] = {
    {"win32/app.exe", {"utlib.dll", "KERNEL32.dll"}, 2},
    {"win32/appdelay.exe", {"utlib.dll", "KERNEL32.dll", "utdelay.dll"}, 2},
    {"win32/utdelay.dll", {"utlib.dll"}, 1},
    {"win32/utlib.dll", {}, 0},
    {"win64/app.exe", {"utlib.dll", "KERNEL32.dll"}, 2},
    {"win64/appdelay.exe", {"utlib.dll", "KERNEL32.dll", "utdelay.dll"}, 2},
    {"win64/utdelay.dll", {"utlib.dll"}, 1},
    {"win64/utlib.dll", {}, 0},
};

std::string Fixture(const std::string& name) {
    return test::FixtureDir() + "/" + name;
}

/// The lines of `objdump -p FILE` that start with `key` (after blanks), each with the key
/// and the blanks cut off; nullopt when objdump is not installed.
std::optional<Names> ObjdumpField(const std::string& file, const std::string& key) {
    const char* path = std::getenv("PATH");
    const std::string objdump = platform::FindOnPath("objdump", path ? path : "");
    if (objdump.empty())
        return std::nullopt;
    test::TScratchDir dir;
    const auto run =
        platform::RunProcess({objdump, "-p", file}, dir / "out", std::chrono::seconds(30));
    EXPECT_EQ(run.ExitCode, 0);
    std::ifstream in(dir / "out");
    Names values;
    for (std::string line; std::getline(in, line);) {
        const std::string t = Trim(line);
        if (t.rfind(key, 0) == 0)
            values.push_back(Trim(t.substr(key.size())));
    }
    return values;
}

TEST(PeImports, FixturesListImportsThenDelayImportsInFileOrder) {
    for (const TPeCase& c : PeCases)
        EXPECT_EQ(ReadImports(Fixture(c.File)), c.Imports) << c.File;
}

TEST(PeImports, OrdinaryImportsAgreeWithObjdump) {
    for (const TPeCase& c : PeCases) {
        const auto names = ObjdumpField(Fixture(c.File), "DLL Name:");
        if (!names)
            GTEST_SKIP() << "objdump is not installed";
        EXPECT_EQ(*names, Names(c.Imports.begin(), c.Imports.begin() + c.Ordinary)) << c.File;
    }
}

TEST(ElfImports, SystemBinaryAgreesWithObjdump) {
    const std::string ls = "/bin/ls";
    if (!std::ifstream(ls))
        GTEST_SKIP() << "no /bin/ls";
    const auto needed = ObjdumpField(ls, "NEEDED");
    if (!needed)
        GTEST_SKIP() << "objdump is not installed";
    ASSERT_FALSE(needed->empty());
    EXPECT_EQ(ReadImports(ls), *needed);
}

TEST(ElfImports, EveryClassAndByteOrder) {
    for (const bool wide : {false, true})
        for (const bool big : {false, true})
            for (const bool programHeaders : {true, false}) {
                test::TElfSpec layout;
                layout.Wide = wide;
                layout.BigEndian = big;
                layout.ProgramHeaders = programHeaders;
                layout.Needed = {"libfoo.so.1", "libbar.so", "ld-linux.so.2"};
                EXPECT_EQ(ReadImportsFromBytes(test::TElfBuilder::Build(layout)), layout.Needed)
                    << "wide=" << wide << " big=" << big << " phdrs=" << programHeaders;
            }
}

TEST(ElfImports, StaticExecutableImportsNothing) {
    test::TElfSpec layout;
    layout.Dynamic = false;
    layout.Needed = {"libfoo.so.1"};
    EXPECT_EQ(ReadImportsFromBytes(test::TElfBuilder::Build(layout)), Names{});
}

/// Patches bytes of a fixture: a little-endian 32-bit value at `offset`.
void PutU32(std::string& bytes, size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>((v >> (8 * i)) & 0xff);
}
uint32_t GetU32(const std::string& bytes, size_t offset) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return v;
}

/// File offset of the delay-import directory of a PE32 image (test fixtures only).
size_t DelayDirectoryOffset(const std::string& bytes, uint32_t& imageBase) {
    const size_t opt = GetU32(bytes, 0x3c) + 24;
    imageBase = GetU32(bytes, opt + 28);
    const uint32_t rva = GetU32(bytes, opt + 96 + 13 * 8);
    const size_t sections = opt + (static_cast<unsigned char>(bytes[opt - 4]) |
                                   static_cast<unsigned char>(bytes[opt - 3]) << 8);
    for (size_t s = sections;; s += 40) {
        const uint32_t va = GetU32(bytes, s + 12), raw = GetU32(bytes, s + 20);
        if (rva >= va && rva < va + GetU32(bytes, s + 8))
            return raw + (rva - va);
    }
}

TEST(PeImports, OldStyleDelayDescriptorHoldsAnAddress) {
    std::string bytes = LoadFileText(Fixture("win32/appdelay.exe"));
    uint32_t imageBase = 0;
    const size_t desc = DelayDirectoryOffset(bytes, imageBase);
    ASSERT_EQ(GetU32(bytes, desc), 1u) << "fixture should use the address-relative form";
    PutU32(bytes, desc, 0);
    PutU32(bytes, desc + 4, GetU32(bytes, desc + 4) + imageBase);
    EXPECT_EQ(ReadImportsFromBytes(bytes), (Names{"utlib.dll", "KERNEL32.dll", "utdelay.dll"}));
}

std::string ErrorOf(const std::string& bytes) {
    try {
        ReadImportsFromBytes(bytes);
    } catch (const EParserError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(ImportReader, MalformedFilesGiveTheirMessage) {
    const std::string exe = LoadFileText(Fixture("win32/app.exe"));
    const size_t pe = GetU32(exe, 0x3c);
    std::string badSignature = exe, badMagic = exe, nameOutside = exe;
    badSignature[pe] = 'X';
    badMagic[pe + 24] = 0x07;
    test::TElfSpec layout;
    layout.Needed = {"libfoo.so.1"};
    std::string badClass = test::TElfBuilder::Build(layout);
    badClass[4] = 3;
    layout.WithStrtab = false;
    const std::string noStrtab = test::TElfBuilder::Build(layout);
    layout.WithStrtab = true;
    layout.StrSzDelta = 12; // the table ends before the name starts
    const std::string shortStrtab = test::TElfBuilder::Build(layout);

    const struct {
        const char* Name;
        std::string Bytes;
        const char* Message;
    } cases[] = {
        {"empty file", "", "not a PE or ELF file"},
        {"text", "hello world\n", "not a PE or ELF file"},
        {"bare MZ", "MZ", "PE header offset: out of bounds"},
        {"bare ELF magic", "\177ELF", "ELF header: out of bounds"},
        {"PE signature", badSignature, "PE signature missing"},
        {"optional header magic", badMagic, "PE optional header: unknown magic 0x107"},
        {"ELF class", badClass, "ELF header: unknown class 3"},
        {"no DT_STRTAB", noStrtab, "ELF dynamic section: no string table"},
        {"name beyond DT_STRSZ", shortStrtab, "ELF needed name: out of bounds"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorOf(c.Bytes), c.Message) << c.Name;
}

TEST(ImportReader, MissingFileIsAnOpenError) {
    EXPECT_THROW(
        {
            try {
                ReadImports("/nonexistent/x.exe");
            } catch (const EFOpenError& e) {
                EXPECT_STREQ(e.what(), "Cannot open file \"/nonexistent/x.exe\". "
                                       "No such file or directory");
                throw;
            }
        },
        EFOpenError);
}

/// Reads the first `n` bytes from a heap copy of exactly that size, so that ASan reports
/// any read past them (a std::string would have its terminating NUL there). A result or
/// an EParserError are both fine; anything else fails.
void MustReturnOrThrow(std::string_view bytes, size_t n, const std::string& what) {
    const auto copy = std::make_unique<char[]>(n);
    std::copy_n(bytes.data(), n, copy.get());
    try {
        ReadImportsFromBytes(std::string_view(copy.get(), n));
    } catch (const EParserError&) {
    } catch (const std::exception& e) {
        ADD_FAILURE() << what << ": unexpected " << e.what();
    }
}

std::vector<std::pair<std::string, std::string>> SmallImages() {
    std::vector<std::pair<std::string, std::string>> images;
    for (const char* f : {"win32/appdelay.exe", "win64/appdelay.exe", "win64/utdelay.dll"})
        images.emplace_back(f, LoadFileText(Fixture(f)));
    for (const bool big : {false, true}) {
        test::TElfSpec layout;
        layout.BigEndian = big;
        layout.Wide = !big;
        layout.Needed = {"libfoo.so.1", "libbar.so"};
        images.emplace_back(big ? "elf32 BE" : "elf64 LE", test::TElfBuilder::Build(layout));
    }
    return images;
}

// Guards against reads past the end of a truncated file (ASan reports them).
TEST(ImportReader, EveryPrefixOfAnImageReturnsOrThrows) {
    for (const auto& [name, bytes] : SmallImages())
        for (size_t n = 0; n < bytes.size(); ++n) {
            MustReturnOrThrow(bytes, n, name + " prefix " + std::to_string(n));
        }
}

} // namespace
} // namespace ut

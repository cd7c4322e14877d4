#include "imports/ImportReader.h"

#include "ElfBuilder.h"
#include "ImportTestUtil.h"
#include "platform/FileReader.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace ut {
namespace {

using Names = std::vector<std::string>;

std::string Fixture(const std::string& name) {
    return test::FixtureDir() + "/" + name;
}

TEST(PeImports, FixturesListImportsThenDelayImportsInFileOrder) {
    const std::vector<std::pair<const char*, Names>> cases = {
        {"app.exe", {"utlib.dll", "KERNEL32.dll"}},
        {"appdelay.exe", {"utlib.dll", "KERNEL32.dll", "utdelay.dll"}},
        {"utdelay.dll", {"utlib.dll"}},
        {"utlib.dll", {}}};
    for (const char* dir : {"win32/", "win64/"})
        for (const auto& [file, imports] : cases)
            EXPECT_EQ(ReadImports(Fixture(dir + std::string(file))), imports) << dir << file;
}

TEST(ElfImports, EveryClassAndByteOrderAndNoneWhenStatic) {
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
    test::TElfSpec staticExe;
    staticExe.Dynamic = false;
    staticExe.Needed = {"libfoo.so.1"};
    EXPECT_EQ(ReadImportsFromBytes(test::TElfBuilder::Build(staticExe)), Names{});
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
    std::string badSignature = exe, badMagic = exe;
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

    const std::vector<std::pair<std::string, const char*>> cases = {
        {"", "not a PE or ELF file"},
        {"hello world\n", "not a PE or ELF file"},
        {"MZ", "PE header offset: out of bounds"},
        {"\177ELF", "ELF header: out of bounds"},
        {badSignature, "PE signature missing"},
        {badMagic, "PE optional header: unknown magic 0x107"},
        {badClass, "ELF header: unknown class 3"},
        {noStrtab, "ELF dynamic section: no string table"},
        {shortStrtab, "ELF needed name: out of bounds"}};
    for (const auto& [bytes, message] : cases)
        EXPECT_EQ(ErrorOf(bytes), message);
}

// Guards against reads past the end of a truncated file: each prefix is read from a heap
// copy of exactly its size, so that ASan reports any read past it. A result or an
// EParserError are both fine; anything else fails.
TEST(ImportReader, EveryPrefixOfAnImageReturnsOrThrows) {
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
    for (const auto& [name, bytes] : images)
        for (size_t n = 0; n < bytes.size(); ++n) {
            const auto copy = std::make_unique<char[]>(n);
            std::copy_n(bytes.data(), n, copy.get());
            try {
                ReadImportsFromBytes(std::string_view(copy.get(), n));
            } catch (const EParserError&) {
            } catch (const std::exception& e) {
                ADD_FAILURE() << name << " prefix " << n << ": unexpected " << e.what();
            }
        }
}

} // namespace
} // namespace ut

#pragma once
// Builds small ELF images for the reader tests: 32 or 64 bit, either byte order, with a
// dynamic section reached through the program headers or through the section headers.
#include <cstdint>
#include <string>
#include <vector>

namespace ut::test {

struct TElfSpec {
    bool Wide = true;
    bool BigEndian = false;
    std::vector<std::string> Needed;
    bool ProgramHeaders = true; ///< false: only section headers lead to the dynamic section
    bool WithStrtab = true;     ///< false: no DT_STRTAB entry
    bool Dynamic = true;        ///< false: a static executable
    uint64_t StrSzDelta = 0;    ///< subtracted from the true DT_STRSZ
};

class TElfBuilder {
  public:
    static std::string Build(const TElfSpec& layout) { return TElfBuilder(layout).FBytes; }

  private:
    static constexpr uint64_t Base = 0x400000;

    explicit TElfBuilder(const TElfSpec& layout) : FSpec(layout) {
        const bool w = layout.Wide;
        const uint64_t ehSize = w ? 64 : 52, phSize = w ? 56 : 32, shSize = w ? 64 : 40;
        const uint64_t dynEnt = w ? 16 : 8;
        std::string strtab(1, '\0');
        std::vector<uint64_t> offsets;
        for (const std::string& n : layout.Needed) {
            offsets.push_back(strtab.size());
            strtab += n + '\0';
        }
        const uint64_t phoff = ehSize, phnum = layout.ProgramHeaders ? 2 : 0;
        const uint64_t strOff = phoff + phnum * phSize;
        const uint64_t dynOff = (strOff + strtab.size() + 7) & ~uint64_t{7};
        const uint64_t dynCount = offsets.size() + (layout.WithStrtab ? 1 : 0) + 2;
        const uint64_t shoff = dynOff + dynCount * dynEnt;
        const uint64_t shnum = layout.Dynamic ? 3 : 0;
        FBytes.assign(shoff + shnum * shSize, '\0');

        FBytes.replace(0, 4, "\177ELF");
        FBytes[4] = w ? 2 : 1;
        FBytes[5] = layout.BigEndian ? 2 : 1;
        FBytes[6] = 1;
        Put(16, 2, 3); // ET_DYN
        Put(w ? 32 : 28, w ? 8 : 4, phnum ? phoff : 0);
        Put(w ? 40 : 32, w ? 8 : 4, shnum ? shoff : 0);
        Put(w ? 54 : 42, 2, phSize);
        Put(w ? 56 : 44, 2, layout.Dynamic ? phnum : 0);
        Put(w ? 58 : 46, 2, shSize);
        Put(w ? 60 : 48, 2, shnum);

        if (phnum && layout.Dynamic) {
            Segment(phoff, 1, 0, FBytes.size());                   // PT_LOAD: everything
            Segment(phoff + phSize, 2, dynOff, dynCount * dynEnt); // PT_DYNAMIC
        }
        FBytes.replace(strOff, strtab.size(), strtab);
        uint64_t e = dynOff;
        auto dyn = [&](uint64_t tag, uint64_t value) {
            Put(e, w ? 8 : 4, tag);
            Put(e + dynEnt / 2, w ? 8 : 4, value);
            e += dynEnt;
        };
        for (uint64_t off : offsets)
            dyn(1, off);
        if (layout.WithStrtab)
            dyn(5, Base + strOff);
        dyn(10, strtab.size() - layout.StrSzDelta);
        dyn(0, 0);
        if (shnum) {
            // [0] null, [1] .dynstr, [2] .dynamic linked to [1]
            Section(shoff + shSize, 3, Base + strOff, strOff, strtab.size(), 0);
            Section(shoff + 2 * shSize, 6, Base + dynOff, dynOff, dynCount * dynEnt, 1);
        }
    }

    void Put(uint64_t at, unsigned size, uint64_t v) {
        for (unsigned i = 0; i < size; ++i) {
            const unsigned shift = 8 * (FSpec.BigEndian ? size - 1 - i : i);
            FBytes[at + i] = static_cast<char>((v >> shift) & 0xff);
        }
    }
    void Segment(uint64_t at, uint32_t type, uint64_t offset, uint64_t size) {
        const bool w = FSpec.Wide;
        Put(at, 4, type);
        Put(at + (w ? 8 : 4), w ? 8 : 4, offset);
        Put(at + (w ? 16 : 8), w ? 8 : 4, Base + offset);
        Put(at + (w ? 32 : 16), w ? 8 : 4, size);
        Put(at + (w ? 40 : 20), w ? 8 : 4, size);
    }
    void Section(uint64_t at, uint32_t type, uint64_t addr, uint64_t offset, uint64_t size,
                 uint32_t link) {
        const bool w = FSpec.Wide;
        Put(at + 4, 4, type);
        Put(at + (w ? 16 : 12), w ? 8 : 4, addr);
        Put(at + (w ? 24 : 16), w ? 8 : 4, offset);
        Put(at + (w ? 32 : 20), w ? 8 : 4, size);
        Put(at + (w ? 40 : 24), 4, link);
    }

    TElfSpec FSpec;
    std::string FBytes;
};

} // namespace ut::test

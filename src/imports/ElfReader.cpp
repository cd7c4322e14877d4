#include "imports/ElfReader.h"

#include "imports/ByteView.h"

#include <algorithm>
#include <optional>

namespace ut {

namespace {

constexpr uint32_t PT_LOAD = 1, PT_DYNAMIC = 2;
constexpr uint32_t SHT_STRTAB = 3, SHT_DYNAMIC = 6;
constexpr uint64_t DT_NULL = 0, DT_NEEDED = 1, DT_STRTAB = 5, DT_STRSZ = 10;
constexpr uint64_t MaxNameLength = 4096;

/// A stretch of the file: [Offset, End).
struct TRange {
    uint64_t Offset = 0, End = 0;
};

struct TSegment {
    uint32_t Type;
    uint64_t Offset, Addr, FileSize;
};

struct TSection {
    uint32_t Type, Link;
    uint64_t Addr, Offset, Size;
};

class TElfImage {
  public:
    explicit TElfImage(std::string_view bytes);
    std::vector<std::string> Needed() const;

  private:
    std::vector<TSegment> ReadSegments() const;
    std::vector<TSection> ReadSections() const;
    std::optional<TRange> FileRange(uint64_t offset, uint64_t size) const;
    std::optional<TRange> MapAddress(uint64_t addr, const std::vector<TSegment>& segments) const;

    TByteView FView;
    bool FWide = false;
};

TElfImage::TElfImage(std::string_view bytes) : FView(bytes) {
    const uint8_t cls = FView.U8(4, "ELF header");
    const uint8_t data = FView.U8(5, "ELF header");
    if (cls != 1 && cls != 2)
        throw EParserError(Format("ELF header: unknown class %u", cls));
    if (data != 1 && data != 2)
        throw EParserError(Format("ELF header: unknown byte order %u", data));
    FWide = cls == 2;
    FView.SetBigEndian(data == 2);
    FView.Require(0, FWide ? 64 : 52, "ELF header");
}

std::optional<TRange> TElfImage::FileRange(uint64_t offset, uint64_t size) const {
    if (!FView.Contains(offset, size))
        return std::nullopt;
    return TRange{offset, offset + size};
}

std::vector<TSegment> TElfImage::ReadSegments() const {
    std::vector<TSegment> segments;
    const uint64_t phoff = FView.Word(FWide ? 32 : 28, FWide, "ELF header");
    const uint64_t entSize = FView.U16(FWide ? 54 : 42, "ELF header");
    const uint64_t count = FView.U16(FWide ? 56 : 44, "ELF header");
    if (phoff == 0 || count == 0)
        return segments;
    if (entSize < (FWide ? 56u : 32u))
        throw EParserError("ELF program headers: entry size too small");
    FView.Require(phoff, entSize * count, "ELF program headers");
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t p = phoff + i * entSize;
        const char* what = "ELF program header";
        if (FWide)
            segments.push_back({FView.U32(p, what), FView.U64(p + 8, what), FView.U64(p + 16, what),
                                FView.U64(p + 32, what)});
        else
            segments.push_back({FView.U32(p, what), FView.U32(p + 4, what), FView.U32(p + 8, what),
                                FView.U32(p + 16, what)});
    }
    return segments;
}

std::vector<TSection> TElfImage::ReadSections() const {
    std::vector<TSection> sections;
    const uint64_t shoff = FView.Word(FWide ? 40 : 32, FWide, "ELF header");
    const uint64_t entSize = FView.U16(FWide ? 58 : 46, "ELF header");
    const uint64_t count = FView.U16(FWide ? 60 : 48, "ELF header");
    if (shoff == 0 || count == 0)
        return sections;
    if (entSize < (FWide ? 64u : 40u))
        throw EParserError("ELF section headers: entry size too small");
    FView.Require(shoff, entSize * count, "ELF section headers");
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t s = shoff + i * entSize;
        const char* what = "ELF section header";
        if (FWide)
            sections.push_back({FView.U32(s + 4, what), FView.U32(s + 40, what),
                                FView.U64(s + 16, what), FView.U64(s + 24, what),
                                FView.U64(s + 32, what)});
        else
            sections.push_back({FView.U32(s + 4, what), FView.U32(s + 24, what),
                                FView.U32(s + 12, what), FView.U32(s + 16, what),
                                FView.U32(s + 20, what)});
    }
    return sections;
}

std::optional<TRange> TElfImage::MapAddress(uint64_t addr,
                                            const std::vector<TSegment>& segments) const {
    for (const TSegment& s : segments) {
        if (s.Type != PT_LOAD || addr < s.Addr || addr - s.Addr >= s.FileSize)
            continue;
        if (auto range = FileRange(s.Offset, s.FileSize))
            return TRange{s.Offset + (addr - s.Addr), range->End};
    }
    return std::nullopt;
}

std::vector<std::string> TElfImage::Needed() const {
    const std::vector<TSegment> segments = ReadSegments();
    std::vector<TSection> sections; // read only when the program headers do not suffice
    bool sectionsRead = false;
    auto allSections = [&]() -> const std::vector<TSection>& {
        if (!sectionsRead)
            sections = ReadSections();
        sectionsRead = true;
        return sections;
    };

    std::optional<TRange> dynamic;
    std::optional<uint32_t> dynamicLink; // string table section of a dynamic section
    for (const TSegment& s : segments)
        if (s.Type == PT_DYNAMIC) {
            dynamic = FileRange(s.Offset, s.FileSize);
            if (!dynamic)
                throw EParserError("ELF dynamic segment: out of bounds");
            break;
        }
    if (!dynamic)
        for (const TSection& s : allSections())
            if (s.Type == SHT_DYNAMIC) {
                dynamic = FileRange(s.Offset, s.Size);
                if (!dynamic)
                    throw EParserError("ELF dynamic section: out of bounds");
                dynamicLink = s.Link;
                break;
            }
    std::vector<std::string> names;
    if (!dynamic)
        return names;

    std::vector<uint64_t> needed;
    std::optional<uint64_t> strtab, strsz;
    const uint64_t entSize = FWide ? 16 : 8;
    for (uint64_t e = dynamic->Offset; dynamic->End - e >= entSize; e += entSize) {
        const uint64_t tag = FView.Word(e, FWide, "ELF dynamic entry");
        const uint64_t value = FView.Word(e + entSize / 2, FWide, "ELF dynamic entry");
        if (tag == DT_NULL)
            break;
        if (tag == DT_NEEDED)
            needed.push_back(value);
        else if (tag == DT_STRTAB)
            strtab = value;
        else if (tag == DT_STRSZ)
            strsz = value;
    }
    if (needed.empty())
        return names;
    if (!strtab)
        throw EParserError("ELF dynamic section: no string table");

    std::optional<TRange> table = MapAddress(*strtab, segments);
    if (!table) {
        const std::vector<TSection>& all = allSections();
        if (dynamicLink && *dynamicLink < all.size() && all[*dynamicLink].Type == SHT_STRTAB)
            table = FileRange(all[*dynamicLink].Offset, all[*dynamicLink].Size);
        for (size_t i = 0; !table && i < all.size(); ++i)
            if (all[i].Type == SHT_STRTAB && all[i].Addr == *strtab)
                table = FileRange(all[i].Offset, all[i].Size);
    }
    if (!table)
        throw EParserError("ELF string table: address not in the file");
    if (strsz && *strsz < table->End - table->Offset)
        table->End = table->Offset + *strsz;

    for (uint64_t offset : needed) {
        if (offset >= table->End - table->Offset)
            throw EParserError("ELF needed name: out of bounds");
        const uint64_t start = table->Offset + offset;
        names.push_back(
            FView.CString(start, std::min(table->End, start + MaxNameLength), "ELF needed name"));
    }
    return names;
}

} // namespace

bool LooksLikeElf(std::string_view bytes) {
    return bytes.substr(0, 4) == std::string_view("\177ELF", 4);
}

std::vector<std::string> ReadElfImports(std::string_view bytes) {
    return TElfImage(bytes).Needed();
}

} // namespace ut

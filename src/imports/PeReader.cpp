#include "imports/PeReader.h"

#include "imports/ByteView.h"

#include <algorithm>

namespace ut {

namespace {

// Limits that keep a hostile image from making the reader loop for long.
constexpr uint32_t MaxSections = 1024;
constexpr uint32_t MaxDescriptors = 4096;
constexpr uint64_t MaxNameLength = 4096;

constexpr uint32_t ImportDirectory = 1;
constexpr uint32_t DelayImportDirectory = 13;
constexpr uint32_t ImportDescriptorSize = 20;
constexpr uint32_t DelayDescriptorSize = 32;

struct TSection {
    uint32_t VirtualAddress, VirtualSize, RawSize, RawOffset;
};

struct TDirectory {
    uint32_t Rva = 0, Size = 0;
};

class TPeImage {
  public:
    explicit TPeImage(std::string_view bytes);

    std::vector<std::string> Imports() const;
    std::vector<std::string> DelayImports() const;

  private:
    /// File offset of `rva` and the end of the file data that backs it; throws when the
    /// address lies in no section's file data.
    void Map(uint64_t rva, const char* what, uint64_t& offset, uint64_t& end) const;
    std::string NameAt(uint64_t rva, const char* what) const;

    TByteView FView;
    uint64_t FImageBase = 0;
    uint64_t FHeaderSize = 0;
    std::vector<TSection> FSections;
    TDirectory FDirs[16];
};

TPeImage::TPeImage(std::string_view bytes) : FView(bytes) {
    const uint64_t pe = FView.U32(0x3c, "PE header offset");
    if (FView.U32(pe, "PE signature") != 0x00004550)
        throw EParserError("PE signature missing");
    const uint64_t coff = pe + 4;
    const uint32_t sectionCount = FView.U16(coff + 2, "COFF header");
    const uint64_t optSize = FView.U16(coff + 16, "COFF header");
    const uint64_t opt = coff + 20;
    FView.Require(opt, optSize, "PE optional header");

    const uint16_t magic = FView.U16(opt, "PE optional header");
    if (magic != 0x10b && magic != 0x20b)
        throw EParserError(Format("PE optional header: unknown magic 0x%x", magic));
    const bool wide = magic == 0x20b;
    FImageBase = wide ? FView.U64(opt + 24, "PE image base") : FView.U32(opt + 28, "PE image base");
    FHeaderSize = FView.U32(opt + 60, "PE header size");
    const uint64_t countField = opt + (wide ? 108 : 92);
    const uint64_t dirTable = countField + 4;
    const uint32_t dirCount = std::min<uint32_t>(FView.U32(countField, "PE directories"), 16);
    for (uint32_t i = 0; i < dirCount; ++i) {
        const uint64_t entry = dirTable + 8ull * i;
        if (entry + 8 > opt + optSize) // the table ends with the optional header
            break;
        FDirs[i].Rva = FView.U32(entry, "PE data directory");
        FDirs[i].Size = FView.U32(entry + 4, "PE data directory");
    }

    if (sectionCount > MaxSections)
        throw EParserError(Format("PE section table: %u sections", sectionCount));
    const uint64_t table = opt + optSize;
    FView.Require(table, 40ull * sectionCount, "PE section table");
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint64_t s = table + 40ull * i;
        FSections.push_back({FView.U32(s + 12, "PE section"), FView.U32(s + 8, "PE section"),
                             FView.U32(s + 16, "PE section"), FView.U32(s + 20, "PE section")});
    }
}

void TPeImage::Map(uint64_t rva, const char* what, uint64_t& offset, uint64_t& end) const {
    for (const TSection& s : FSections) {
        const uint64_t span = s.VirtualSize != 0 ? s.VirtualSize : s.RawSize;
        if (rva < s.VirtualAddress || rva - s.VirtualAddress >= span)
            continue;
        const uint64_t delta = rva - s.VirtualAddress;
        const uint64_t backed = std::min<uint64_t>(span, s.RawSize);
        if (delta >= backed)
            break; // zero-filled memory: nothing in the file
        offset = s.RawOffset + delta;
        end = std::min<uint64_t>(uint64_t{s.RawOffset} + backed, FView.Size());
        if (offset >= end)
            break;
        return;
    }
    if (rva < FHeaderSize && rva < FView.Size()) { // the headers are mapped as they are
        offset = rva;
        end = std::min<uint64_t>(FHeaderSize, FView.Size());
        return;
    }
    throw EParserError(
        Format("%s: address 0x%llx not in the file", what, static_cast<unsigned long long>(rva)));
}

std::string TPeImage::NameAt(uint64_t rva, const char* what) const {
    uint64_t offset = 0, end = 0;
    Map(rva, what, offset, end);
    return FView.CString(offset, std::min(end, offset + MaxNameLength), what);
}

std::vector<std::string> TPeImage::Imports() const {
    std::vector<std::string> names;
    const TDirectory dir = FDirs[ImportDirectory];
    if (dir.Rva == 0)
        return names;
    for (uint32_t i = 0;; ++i) {
        if (i == MaxDescriptors)
            throw EParserError("PE import directory: too many entries");
        uint64_t offset = 0, end = 0;
        Map(uint64_t{dir.Rva} + uint64_t{ImportDescriptorSize} * i, "PE import directory", offset,
            end);
        if (end - offset < ImportDescriptorSize)
            throw EParserError("PE import directory: out of bounds");
        const uint32_t name = FView.U32(offset + 12, "PE import directory");
        const uint32_t firstThunk = FView.U32(offset + 16, "PE import directory");
        // The loader stops at the first entry without a name or an address table.
        if (name == 0 || firstThunk == 0)
            break;
        names.push_back(NameAt(name, "PE import name"));
    }
    return names;
}

std::vector<std::string> TPeImage::DelayImports() const {
    std::vector<std::string> names;
    const TDirectory dir = FDirs[DelayImportDirectory];
    if (dir.Rva == 0)
        return names;
    for (uint32_t i = 0;; ++i) {
        if (i == MaxDescriptors)
            throw EParserError("PE delay-import directory: too many entries");
        uint64_t offset = 0, end = 0;
        Map(uint64_t{dir.Rva} + uint64_t{DelayDescriptorSize} * i, "PE delay-import directory",
            offset, end);
        if (end - offset < DelayDescriptorSize)
            throw EParserError("PE delay-import directory: out of bounds");
        const uint32_t attributes = FView.U32(offset, "PE delay-import directory");
        uint64_t name = FView.U32(offset + 4, "PE delay-import directory");
        if (name == 0)
            break;
        // Old-style descriptors (attribute bit 0 clear) hold virtual addresses.
        if ((attributes & 1) == 0) {
            if (name < FImageBase)
                throw EParserError("PE delay-import name: address below the image base");
            name -= FImageBase;
        }
        names.push_back(NameAt(name, "PE delay-import name"));
    }
    return names;
}

} // namespace

bool LooksLikePe(std::string_view bytes) {
    return bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z';
}

std::vector<std::string> ReadPeImports(std::string_view bytes) {
    const TPeImage image(bytes);
    std::vector<std::string> names = image.Imports();
    for (std::string& name : image.DelayImports())
        names.push_back(std::move(name));
    return names;
}

} // namespace ut

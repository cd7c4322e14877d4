#pragma once
// A read-only view of an INI text: one sorted item per section block, values looked up by
// section and key with a one-section cache.
#include "support/StringList.h"

#include <string>
#include <string_view>

namespace ut {

class TIniStringList : public TStringList {
  public:
    TIniStringList();

    /// Drops the cached section and refills the list with the section blocks of `text`.
    /// Text before the first header belongs to no section and is dropped; the text ends at
    /// its first NUL.
    void SetIniText(std::string_view text);

    /// The value of the first line of `section` (with or without brackets) that assigns
    /// `key`; empty when the section or the key is absent.
    std::string ReadString(std::string_view section, std::string_view key);

    /// Trims the name and encloses it in brackets unless it already begins with '['.
    static std::string SectionHeader(std::string_view name);

    /// Index of the block whose text begins with the header of `name`, or -1.
    int IndexOfSection(std::string_view name) const;

  private:
    void SelectSection(const std::string& name);

    std::string FSectionName;
    std::string FSectionBody;
};

} // namespace ut

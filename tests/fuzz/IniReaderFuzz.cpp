// libFuzzer target: the INI reader and the project options file read through it. Every
// section of a text must be found again by its own header line, no value may run past its
// line, and reading an options file must end with the map file named after it.
#include "FuzzSupport.h"

#include "config/IniStringList.h"
#include "config/ProjectOptions.h"
#include "platform/FileSystem.h"
#include "support/Textutil.h"

#include <cstddef>
#include <cstdint>

namespace {

using ut::fuzz::Check;

std::string_view FirstLine(std::string_view block) {
    return block.substr(0, block.find_first_of(std::string_view("\r\n\0", 3)));
}

void ReadIni(std::string_view bytes) {
    ut::TIniStringList ini;
    ini.SetIniText(bytes);
    for (int i = 0; i < ini.Count(); ++i) {
        const std::string header(FirstLine(ini[i]));
        Check(ini.IndexOfSection(header) >= 0, "a section is not found by its own header");
        // A key taken from the section's second line, as an options file spells one.
        const std::string_view body = std::string_view(ini[i]).substr(header.size());
        const size_t eq = body.find('=');
        const std::string_view key = eq == std::string_view::npos ? body : body.substr(0, eq);
        const std::string value = ini.ReadString(header, ut::Trim(key));
        Check(value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
              "a value runs past its line");
    }
    for (const char* key : {"SearchPath", "Conditionals", "OutputDir"})
        (void)ini.ReadString(ut::OptionsSection, key);
}

void ReadOptionsFile(std::string_view bytes) {
    const std::string dof = ut::fuzz::WriteTempFile("P.dof", bytes);
    // Reading makes the file's directory current; libFuzzer reads its corpus by relative paths.
    static const std::string cwd = ut::fs::GetCurrentDir();
    for (const char* ext : {".dpr", ".dpk"}) {
        const ut::TProjectOptions options = ut::ReadProjectOptions(dof, ext, "5.0");
        Check(options.FOptionsRead, "an options file that is there was not read");
        Check(ut::SameText(ut::fs::ExtractFileName(options.MapFileName), "P.MAP"),
              "the map file is not named after the options file");
    }
    ut::fs::SetCurrentDir(cwd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ReadIni(bytes);
    ReadOptionsFile(bytes);
    return 0;
}

#include "config/FpcTarget.h"

#include "platform/FileReader.h"
#include "platform/Process.h"
#include "platform/TempFile.h"
#include "support/Textutil.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>

namespace ut {

namespace {

bool IsDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

// Major, minor and patch of a version text; missing parts are 0.
std::vector<int> VersionNumbers(const std::string& version) {
    std::vector<std::string> parts;
    SplitToList(version, ".", parts);
    std::vector<int> numbers;
    for (const std::string& p : parts)
        numbers.push_back(IsDigits(p) && p.size() <= 4 ? std::stoi(p) : 0);
    numbers.resize(3, 0);
    return numbers;
}

bool IsVersion(const std::string& text) {
    return !text.empty() && std::isdigit(static_cast<unsigned char>(text[0])) &&
           std::all_of(text.begin(), text.end(), [](char c) {
               return std::isdigit(static_cast<unsigned char>(c)) || c == '.';
           });
}

bool IsWord(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

TFpcTarget AskInstalledFpc() {
    std::string out;
    if (platform::MakeTempFileName("fpc", out).empty())
        return {};
    const platform::TProcessResult r =
        platform::RunProcess({"fpc", "-iV", "-iTO", "-iTP"}, out, std::chrono::seconds(10));
    std::string text;
    if (r.Started && r.ExitCode == 0) {
        try {
            text = LoadFileText(out);
        } catch (const std::exception&) {
        }
    }
    std::remove(out.c_str());
    return ParseFpcInfo(text).value_or(TFpcTarget{});
}

} // namespace

std::optional<TFpcTarget> ParseFpcInfo(const std::string& text) {
    std::istringstream in(text);
    TFpcTarget t;
    std::string extra;
    if (!(in >> t.Version >> t.OS >> t.CPU) || (in >> extra) || !IsVersion(t.Version) ||
        !IsWord(t.OS) || !IsWord(t.CPU))
        return std::nullopt;
    return t;
}

const TFpcTarget& InstalledFpcTarget() {
    static const TFpcTarget target = AskInstalledFpc();
    return target;
}

int FpcPointerSize(const TFpcTarget& target) {
    static const char* const wide[] = {"x86_64",  "aarch64", "powerpc64", "riscv64",
                                       "sparc64", "mips64",  "mips64el",  "loongarch64",
                                       "ia64",    "alpha",   "wasm64"};
    for (const char* cpu : wide)
        if (SameText(target.CPU, cpu))
            return 8;
    return SameText(target.CPU, "i8086") || SameText(target.CPU, "avr") ? 2 : 4;
}

std::vector<std::string> FpcSymbols(const TFpcTarget& target) {
    const std::vector<int> v = VersionNumbers(target.Version);
    const std::string major = std::to_string(v[0]);
    const std::string minor = major + "_" + std::to_string(v[1]);
    std::vector<std::string> s = {"FPC", "VER" + major, "VER" + minor,
                                  "VER" + minor + "_" + std::to_string(v[2])};

    const std::string cpu = AsciiUpper(target.CPU);
    const int pointer = FpcPointerSize(target);
    s.push_back("CPU" + cpu);
    s.push_back("CPU" + std::to_string(pointer * 8));
    if (cpu == "X86_64") {
        s.insert(s.end(), {"CPUAMD64", "CPUX64", "CPUINT64"});
    } else if (cpu == "I386") {
        s.insert(s.end(), {"CPU86", "CPU87", "CPUX86"});
    } else if (cpu == "POWERPC" || cpu == "POWERPC64") {
        s.insert(s.end(), {"CPUPOWERPC", cpu == "POWERPC" ? "CPUPOWERPC32" : "CPUPOWERPC64"});
    }
    static const char* const bigEndian[] = {"POWERPC", "POWERPC64", "SPARC", "SPARC64",
                                            "M68K",    "MIPS",      "MIPS64"};
    const bool big =
        std::find(std::begin(bigEndian), std::end(bigEndian), cpu) != std::end(bigEndian);
    s.insert(s.end(),
             {big ? "ENDIAN_BIG" : "ENDIAN_LITTLE", big ? "FPC_BIG_ENDIAN" : "FPC_LITTLE_ENDIAN"});

    const std::string os = AsciiUpper(target.OS);
    s.push_back(os);
    static const char* const bsd[] = {"FREEBSD", "NETBSD", "OPENBSD", "DRAGONFLY", "DARWIN"};
    static const char* const unixLike[] = {"LINUX", "SOLARIS", "HAIKU", "ANDROID", "AIX", "BEOS"};
    const bool isBsd = std::find(std::begin(bsd), std::end(bsd), os) != std::end(bsd);
    if (isBsd)
        s.push_back("BSD");
    if (isBsd || std::find(std::begin(unixLike), std::end(unixLike), os) != std::end(unixLike))
        s.insert(s.end(), {"UNIX", "HASUNIX"});
    if (os == "WIN32" || os == "WIN64")
        s.insert(s.end(), {"WINDOWS", "MSWINDOWS"});
    else if (os == "WINCE")
        s.insert(s.end(), {"WINDOWS", "UNDER_CE", "FPC_OS_UNICODE"});

    s.insert(s.end(), {"FPC_HAS_TYPE_SINGLE", "FPC_HAS_TYPE_DOUBLE"});
    if ((cpu == "I386" || cpu == "X86_64") && os != "WIN64")
        s.push_back("FPC_HAS_TYPE_EXTENDED");
    for (const char* feature :
         {"HEAP",        "INITFINAL",   "RTTI",           "CLASSES",   "EXCEPTIONS", "EXITCODE",
          "ANSISTRINGS", "WIDESTRINGS", "UNICODESTRINGS", "TEXTIO",    "CONSOLEIO",  "FILEIO",
          "RANDOM",      "VARIANTS",    "OBJECTS",        "DYNARRAYS", "THREADING",  "COMMANDARGS",
          "PROCESSES",   "STACKCHECK",  "DYNLIBS",        "RESOURCES", "SUPPORT"})
        s.push_back(std::string("FPC_HAS_FEATURE_") + feature);
    s.insert(s.end(), {"FPC_HAS_UNICODESTRING", "FPC_HAS_CPSTRING"});
    return s;
}

std::vector<std::pair<std::string, double>> FpcConstants(const TFpcTarget& target) {
    const std::vector<int> v = VersionNumbers(target.Version);
    return {{"FPC_VERSION", v[0]},
            {"FPC_RELEASE", v[1]},
            {"FPC_PATCH", v[2]},
            {"FPC_FULLVERSION", v[0] * 10000 + v[1] * 100 + v[2]}};
}

} // namespace ut

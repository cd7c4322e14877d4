#include "cli/JsonWriter.h"

#include "platform/FileSystem.h"

#include <cstdio>

namespace ut::cli {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the upper half is Latin-1.
const unsigned short Cp1252High[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

// Length of the valid UTF-8 sequence at `i`, or 0.
size_t Utf8SequenceLength(const std::string& s, size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
    if (c >= 0xF5)
        n = 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

const char* KindName(int kind) {
    switch (kind) {
    case ukUnit:
        return "unit";
    case ukProgram:
        return "program";
    case ukPackage:
        return "package";
    case ukLibrary:
        return "library";
    default:
        return "none";
    }
}

std::string Bool(bool b) {
    return b ? "true" : "false";
}

} // namespace

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
            }
            ++i;
            continue;
        }
        if (const size_t n = Utf8SequenceLength(s, i)) {
            out.append(s, i, n);
            i += n;
            continue;
        }
        AppendUtf8(out, c < 0xA0 ? Cp1252High[c - 0x80] : c);
        ++i;
    }
    return out + "\"";
}

std::string ScanResultJson(const ProjectScan& scan, const ScanSummary& summary,
                           const std::vector<LogEntry>& log) {
    std::string j = "{\n";
    j += "  \"project\": " + JsonString(summary.Project) + ",\n";
    j += "  \"completed\": " + Bool(summary.Completed) + ",\n";
    j += "  \"inputs\": {\n    \"version\": " + JsonString(scan.Inputs.Delphi) + ",\n";
    j += "    \"searchPath\": " + JsonString(scan.Inputs.SearchPath) + ",\n";
    j += "    \"libPath\": " + JsonString(scan.Inputs.LibPath) + ",\n";
    j += "    \"browsePath\": " + JsonString(scan.Inputs.BrowsePath) + ",\n";
    j += "    \"useBrowsePath\": " + Bool(scan.Inputs.BrowseAlso) + ",\n";
    j += "    \"defines\": [";
    for (size_t i = 0; i < scan.FDefines.size(); ++i)
        j += (i ? ", " : "") + JsonString(scan.FDefines[i]);
    j += "],\n    \"directories\": [";
    for (size_t i = 0; i < summary.Directories.size(); ++i)
        j += (i ? ", " : "") + JsonString(summary.Directories[i]);
    j += "],\n    \"mapFile\": ";
    j += (!scan.FMapFileName.empty() && fs::FileExists(scan.FMapFileName))
             ? JsonString(scan.FMapFileName)
             : std::string("null");
    j += ",\n    \"ignored\": [";
    const TStringList& ignored = scan.IgnUnits.Lines();
    for (int i = 0; i < ignored.Count(); ++i)
        j += (i ? ", " : "") + JsonString(ignored[i]);
    j += "]\n  },\n  \"units\": [";
    for (int i = 0; i < scan.FUnits.Count(); ++i) {
        const TUnit& u = *scan.FUnits.Objects(i);
        j += i ? ",\n" : "\n";
        j += "    {\"key\": " + JsonString(scan.FUnits[i]);
        j += ", \"name\": " + JsonString(u.UnitName);
        j += ", \"kind\": \"" + std::string(KindName(u.Kind)) + "\"";
        j += ", \"file\": " + JsonString(u.FileName);
        j += ", \"hasForm\": " + Bool(u.HasForm);
        int at = 0;
        if (scan.FUnitSizes.Find(scan.FUnits[i], at) || scan.FUnitSizes.Find(u.UnitName, at))
            j += ", \"size\": " + std::to_string(scan.FUnitSizes.Objects(at));
        else
            j += ", \"size\": null";
        j += ", \"uses\": [";
        for (int k = 0; k < u.Uses.Count(); ++k) {
            const std::string& name = u.Uses[k];
            j += k ? ", " : "";
            j += "{\"name\": " + JsonString(name);
            j += ", \"interface\": " + Bool(u.Uses.Objects(k) != 0);
            int idx = 0;
            if (scan.IsIgnored(name))
                j += ", \"status\": \"ignored\", \"key\": null}";
            else if (scan.FUnits.Find(name, idx))
                j += ", \"status\": \"unit\", \"key\": " + JsonString(scan.FUnits[idx]) + "}";
            else
                j += ", \"status\": \"unknown\", \"key\": null}";
        }
        j += "]}";
    }
    j += "\n  ],\n  \"notFound\": [";
    for (size_t i = 0; i < scan.FNotFoundNames.size(); ++i)
        j += (i ? ", " : "") + JsonString(scan.FNotFoundNames[i]);
    j += "],\n  \"log\": [";
    for (size_t i = 0; i < log.size(); ++i) {
        const char* style = (log[i].Style & lsItalic) ? "italic"
                            : (log[i].Style & lsBold) ? "bold"
                                                      : "plain";
        j += i ? ",\n" : "\n";
        j += "    {\"text\": " + JsonString(log[i].Text) + ", \"style\": \"" + style + "\"}";
    }
    j += "\n  ]\n}\n";
    return j;
}

} // namespace ut::cli

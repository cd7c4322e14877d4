#include "rules/Baseline.h"

#include "platform/FileReader.h"
#include "platform/NativePath.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>

namespace ut::rules {

namespace {

// "name: Unit" or "name: Unit -> Unit", no blanks within a name.
bool IsEntry(std::string_view s) {
    const size_t colon = s.find(": ");
    if (colon == 0 || colon == std::string_view::npos)
        return false;
    auto word = [](std::string_view w) {
        return !w.empty() && w.find_first_of(" \t:") == std::string_view::npos;
    };
    std::string_view units = s.substr(colon + 2);
    const size_t arrow = units.find(" -> ");
    return word(s.substr(0, colon)) &&
           (arrow == std::string_view::npos
                ? word(units)
                : word(units.substr(0, arrow)) && word(units.substr(arrow + 4)));
}

} // namespace

Baseline Baseline::Parse(std::string_view text, const std::string& fileName) {
    Baseline b;
    int line = 0;
    while (!text.empty()) {
        ++line;
        const std::string entry = Trim(SplitFirst(text, '\n'));
        if (entry.empty() || entry[0] == '#')
            continue;
        if (!IsEntry(entry))
            throw ERulesError(fileName + ":" + std::to_string(line) +
                              ": not a baseline entry (\"rule: From -> To\"): " + entry);
        if (b.FFolded.insert(UpperFoldText(entry)).second)
            b.FEntries.push_back(entry);
    }
    return b;
}

Baseline Baseline::Load(const std::string& fileName) {
    std::string text;
    try {
        text = LoadFileText(fileName);
    } catch (const std::exception& e) {
        throw ERulesError(e.what());
    }
    return Parse(text, fileName);
}

bool Baseline::Holds(const std::string& entry) const {
    return FFolded.count(UpperFoldText(entry)) > 0;
}

std::string BaselineText(const std::vector<Violation>& violations) {
    std::set<std::string> entries;
    for (const Violation& v : violations)
        entries.insert(v.Entry());
    std::string text = "# Violations known when this baseline was written: only others fail.\n"
                       "# One per line, \"rule: From -> To\"; remove the lines of those fixed.\n";
    for (const std::string& e : entries)
        text += e + '\n';
    return text;
}

void WriteBaseline(const std::string& fileName, const std::vector<Violation>& violations) {
    const std::string text = BaselineText(violations);
    const std::filesystem::path part = platform::NativePath(fileName + ".part");
    errno = 0;
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    std::error_code ec(out ? 0 : (errno ? errno : EIO), std::generic_category());
    if (!ec)
        std::filesystem::rename(part, platform::NativePath(fileName), ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(part, ignored);
        throw EInOutError("cannot write \"" + fileName + "\": " + ec.message());
    }
}

} // namespace ut::rules

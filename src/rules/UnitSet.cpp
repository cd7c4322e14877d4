#include "rules/UnitSet.h"

#include "platform/FileSystem.h"

namespace ut::rules {

std::vector<std::string> PathSegments(std::string_view path) {
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("/\\", start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!part.empty() && part != ".") {
            segments.emplace_back(part);
        }
        start = end + 1;
    }
    return segments;
}

bool MatchSegments(const std::vector<std::string>& file, const std::vector<std::string>& pattern) {
    // Greedy with one point to come back to, the last '**' met: each other component matches
    // exactly one of the file's, so a later '**' that fails can always be retried from the
    // last one, never from an earlier one.
    size_t p = 0, f = 0, star = std::string::npos, mark = 0;
    while (f < file.size()) {
        if (p < pattern.size() && pattern[p] == "**") {
            star = p++;
            mark = f;
        } else if (p < pattern.size() && fs::MatchesMask(file[f], pattern[p])) {
            ++p;
            ++f;
        } else if (star != std::string::npos) {
            p = star + 1;
            f = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == "**")
        ++p;
    return p == pattern.size();
}

UnitSet::UnitSet(std::vector<std::string> patterns, const std::string& baseDir)
    : FWritten(std::move(patterns)) {
    for (const std::string& written : FWritten) {
        Pattern p;
        p.Path = written.find_first_of("/\\") != std::string::npos;
        if (!p.Path) {
            p.Name = written;
        } else {
            const bool absolute =
                written[0] == '/' || written[0] == '\\' || fs::IsDrivePath(written);
            p.Segments = PathSegments(absolute ? written : baseDir + "/" + written);
            if (written.back() == '/' || written.back() == '\\')
                p.Segments.push_back("**"); // a directory: everything below it
        }
        FPatterns.push_back(std::move(p));
    }
}

bool UnitSet::Matches(std::string_view name, const std::string& file) const {
    std::vector<std::string> segments; // split once, only when a path pattern asks
    for (const Pattern& p : FPatterns) {
        if (!p.Path) {
            if (fs::MatchesMask(std::string(name), p.Name))
                return true;
            continue;
        }
        if (file.empty())
            continue;
        if (segments.empty())
            segments = PathSegments(file);
        if (MatchSegments(segments, p.Segments))
            return true;
    }
    return false;
}

std::string UnitSet::Text() const {
    std::string s;
    for (const std::string& p : FWritten)
        s += (s.empty() ? "\"" : ", \"") + p + "\"";
    return FWritten.size() == 1 ? s : "[" + s + "]";
}

} // namespace ut::rules

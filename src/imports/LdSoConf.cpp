#include "imports/LdSoConf.h"

#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <set>

namespace ut {

namespace {

constexpr int MaxIncludeDepth = 16;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::vector<std::string> Words(std::string_view s) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && IsBlank(s[i]))
            ++i;
        const size_t start = i;
        while (i < s.size() && !IsBlank(s[i]))
            ++i;
        if (i > start)
            words.emplace_back(s.substr(start, i - start));
    }
    return words;
}

class TConfReader {
  public:
    std::vector<std::string> Dirs;

    void Read(const std::string& name, int depth) {
        const std::string fileName = fs::ExpandFileName(name); // "a/../b" is "b"
        if (depth > MaxIncludeDepth || !FSeen.insert(fileName).second)
            return;
        std::string text;
        try {
            LoadFileText(fileName, text);
        } catch (const Exception&) {
            return; // a missing or unreadable file lists nothing, as for the loader
        }
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            Line(std::string_view(text).substr(start, end - start), fileName, depth);
            start = end + 1;
        }
    }

  private:
    void Line(std::string_view line, const std::string& fileName, int depth) {
        line = line.substr(0, line.find('#'));
        const std::vector<std::string> words = Words(line);
        if (words.empty() || words[0] == "hwcap")
            return;
        if (words[0] == "include") {
            for (size_t i = 1; i < words.size(); ++i)
                Include(words[i], fileName, depth);
            return;
        }
        std::string dir = Trim(line);
        dir = Trim(dir.substr(0, dir.find('=')));
        if (!dir.empty())
            Dirs.push_back(dir);
    }

    void Include(const std::string& pattern, const std::string& fileName, int depth) {
        std::string full = pattern;
        if (full[0] != '/')
            full = fs::ExtractFilePath(fileName) + full;
        const size_t slash = full.rfind('/');
        const std::string dir = full.substr(0, slash + 1);
        const std::string mask = full.substr(slash + 1);
        if (dir.find_first_of("*?") != std::string::npos)
            return; // wildcards only in the last component
        if (mask.find_first_of("*?") == std::string::npos) {
            Read(full, depth + 1);
            return;
        }
        for (const std::string& name : fs::ListFiles(dir, mask))
            Read(dir + name, depth + 1);
    }

    std::set<std::string> FSeen;
};

} // namespace

std::vector<std::string> ReadLdSoConf(const std::string& fileName) {
    TConfReader reader;
    reader.Read(fileName, 0);
    return reader.Dirs;
}

} // namespace ut

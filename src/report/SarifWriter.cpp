#include "report/SarifWriter.h"

#include "support/Textutil.h"
#include "support/Utf8.h"

#include <nlohmann/json.hpp>

#include <cctype>

namespace ut::report {

using json = nlohmann::ordered_json;
using namespace rules;

std::string UriPath(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    const std::string utf8 = ToUtf8(path);
    std::string uri;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const bool drive = c == ':' && i == 1 && std::isalpha(static_cast<unsigned char>(utf8[0]));
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/' || drive)
            uri += static_cast<char>(c);
        else if (c == '\\')
            uri += '/';
        else
            uri += {'%', hex[c >> 4], hex[c & 15]};
    }
    return uri;
}

namespace {

const char* Level(Severity s) {
    return s == Severity::Error ? "error" : "warning";
}

// A full path's URI path ("/abs/file", "C:/abs/file") as a file URI.
std::string FileUri(const std::string& uriPath) {
    return "file://" + std::string(uriPath.empty() || uriPath[0] == '/' ? "" : "/") + uriPath;
}

json Location(const std::string& file, int line, const std::string& base) {
    json artifact;
    const std::string uri = UriPath(file);
    if (!base.empty() && uri.size() > base.size() && uri.compare(0, base.size(), base) == 0)
        artifact = {{"uri", uri.substr(base.size())}, {"uriBaseId", "SRCROOT"}};
    else
        artifact = {{"uri", FileUri(uri)}};
    return {{"physicalLocation",
             {{"artifactLocation", std::move(artifact)},
              {"region", {{"startLine", line > 0 ? line : 1}}}}}};
}

std::string Message(const Violation& v) {
    if (v.To.empty())
        return v.From + " brings " + std::to_string(v.Size.value_or(0)) +
               " bytes into the program (exclusive), over the budget of " +
               std::to_string(v.MaxBytes.value_or(0));
    std::string s = v.From + " uses " + v.To + " in its " +
                    (v.Interface ? "interface" : "implementation") + " section";
    if (v.Path.size() > 1) {
        s = v.From + " reaches " + v.To + ": " + v.From;
        for (const ViolationStep& step : v.Path)
            s += " -> " + step.To;
    }
    return s;
}

} // namespace

std::string SarifDocument(const RuleSet& rules, const RulesOutcome& outcome, bool completed) {
    std::string base = UriPath(rules.BaseDir);
    if (!base.empty() && base.back() != '/')
        base += '/';
    json ruleList = json::array();
    for (const auto& rule : rules.Rules)
        ruleList.push_back(
            {{"id", rule->Name},
             {"shortDescription",
              {{"text", ToUtf8(rule->Kind() + std::string(": ") + rule->Describe())}}},
             {"defaultConfiguration", {{"level", Level(rule->Level)}}}});
    json results = json::array();
    for (const Violation& v : outcome.Violations) {
        int index = 0;
        while (index < static_cast<int>(rules.Rules.size()) && rules.Rules[index]->Name != v.Rule)
            ++index;
        json r = {{"ruleId", v.Rule},
                  {"ruleIndex", index},
                  {"level", Level(v.Level)},
                  {"message", {{"text", ToUtf8(Message(v))}}},
                  {"locations", json::array({Location(v.File, v.Line, base)})},
                  // Names the violation apart from its line, as the baseline does.
                  {"partialFingerprints", {{"uniTraceEntry/v1", ToUtf8(v.Entry())}}}};
        if (outcome.HasBaseline)
            r["baselineState"] = v.Known ? "unchanged" : "new";
        results.push_back(std::move(r));
    }
    json notifications = json::array();
    for (const UnmatchedSet& u : outcome.Unmatched)
        notifications.push_back(
            {{"level", "warning"},
             {"message",
              {{"text", ToUtf8(u.Rule + ": " + u.Set + " " + u.Patterns + " matches no unit")}}}});
    for (const std::string& note : outcome.Notes)
        notifications.push_back({{"level", "note"}, {"message", {{"text", ToUtf8(note)}}}});
    json run = {{"tool", {{"driver", {{"name", "Uni-Trace"}, {"rules", std::move(ruleList)}}}}},
                {"invocations",
                 json::array({{{"executionSuccessful", completed},
                               {"toolConfigurationNotifications", std::move(notifications)}}})},
                {"originalUriBaseIds", {{"SRCROOT", {{"uri", FileUri(base)}}}}},
                {"results", std::move(results)}};
    const json doc = {{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
                      {"version", "2.1.0"},
                      {"runs", json::array({std::move(run)})}};
    return doc.dump(2) + "\n";
}

} // namespace ut::report

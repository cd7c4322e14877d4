#include "rules/RulesFile.h"

#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "rules/AcyclicRule.h"
#include "rules/BudgetRule.h"
#include "rules/ForbidRule.h"
#include "rules/IndependentRule.h"
#include "rules/LayersRule.h"
#include "support/Exceptions.h"

#include <toml++/toml.h>

#include <algorithm>
#include <set>

namespace ut::rules {

namespace {

// Reads one rule's table, failing with the place of the value at fault.
class TableReader {
  public:
    TableReader(const toml::table& table, const std::string& fileName, const std::string& baseDir,
                const char* kind)
        : FTable(table), FFile(fileName), FBase(baseDir), FKind(kind) {}

    [[noreturn]] void Fail(const toml::node& at, const std::string& what) const {
        const toml::source_position p = at.source().begin;
        throw ERulesError(FFile + ":" + std::to_string(p.line) + ":" + std::to_string(p.column) +
                          ": [[" + FKind + "]]" + (FName.empty() ? "" : " \"" + FName + "\"") +
                          ": " + what);
    }
    const toml::node* Get(const char* key) {
        FKeys.insert(key);
        return FTable.get(key);
    }
    const toml::node& Required(const char* key) {
        const toml::node* n = Get(key);
        if (!n)
            Fail(FTable, std::string("\"") + key + "\" is missing");
        return *n;
    }
    std::string String(const toml::node& n, const char* key) const {
        if (!n.is_string())
            Fail(n, std::string("\"") + key + "\" must be a string");
        return n.as_string()->get();
    }
    bool Bool(const char* key, bool fallback) {
        const toml::node* n = Get(key);
        if (n && !n->is_boolean())
            Fail(*n, std::string("\"") + key + "\" must be true or false");
        return n ? n->as_boolean()->get() : fallback;
    }
    void Head(Rule& rule) {
        rule.Line = static_cast<int>(FTable.source().begin.line);
        const toml::node& name = Required("name");
        rule.Name = String(name, "name");
        const bool plain =
            !rule.Name.empty() && std::all_of(rule.Name.begin(), rule.Name.end(), [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ||
                       c == '.';
            });
        if (!plain)
            Fail(name, "a name holds letters, digits, '-', '_' and '.' only");
        FName = rule.Name;
        if (const toml::node* severity = Get("severity")) {
            const std::string s = String(*severity, "severity");
            if (s != "error" && s != "warn")
                Fail(*severity, "\"severity\" is \"error\" or \"warn\", not \"" + s + "\"");
            rule.Level = s == "error" ? Severity::Error : Severity::Warn;
        }
    }
    UnitSet Set(const toml::node& n, const std::string& key) const {
        std::vector<std::string> patterns;
        auto add = [&](const toml::node& p) {
            if (!p.is_string() || p.as_string()->get().empty())
                Fail(p, "\"" + key + "\" is a pattern or an array of patterns");
            patterns.push_back(p.as_string()->get());
        };
        if (const toml::array* a = n.as_array()) {
            for (const toml::node& p : *a)
                add(p);
            if (patterns.empty())
                Fail(n, "\"" + key + "\" names no pattern");
        } else {
            add(n);
        }
        return UnitSet(std::move(patterns), FBase);
    }
    std::vector<UnitSet> Sets(const char* key) {
        const toml::node& n = Required(key);
        const toml::array* a = n.as_array();
        if (!a || a->size() < 2)
            Fail(n, std::string("\"") + key + "\" is an array of two or more unit sets");
        std::vector<UnitSet> sets;
        for (const toml::node& s : *a)
            sets.push_back(Set(s, key + ("[" + std::to_string(sets.size()) + "]")));
        return sets;
    }
    /// Fails on the first key no Get asked for: a misspelt key would be ignored otherwise.
    void CheckKeys() const {
        for (const auto& [key, value] : FTable)
            if (!FKeys.count(std::string(key.str())))
                Fail(value, "unknown key \"" + std::string(key.str()) + "\"");
    }

  private:
    const toml::table& FTable;
    const std::string& FFile;
    const std::string& FBase;
    const char* FKind;
    std::string FName;
    std::set<std::string> FKeys;
};

std::unique_ptr<Rule> ReadLayers(TableReader& r) {
    auto rule = std::make_unique<LayersRule>();
    r.Head(*rule);
    rule->Layers = r.Sets("sets");
    rule->Interface = r.Bool("interface", true);
    return rule;
}

std::unique_ptr<Rule> ReadForbid(TableReader& r) {
    auto rule = std::make_unique<ForbidRule>();
    r.Head(*rule);
    rule->From = r.Set(r.Required("from"), "from");
    rule->To = r.Set(r.Required("to"), "to");
    if (const toml::node* section = r.Get("section")) {
        const std::string s = r.String(*section, "section");
        if (s == "interface")
            rule->In = Section::Interface;
        else if (s == "implementation")
            rule->In = Section::Implementation;
        else if (s != "any")
            r.Fail(*section, "\"section\" is \"interface\", \"implementation\" or \"any\", not \"" +
                                 s + "\"");
    }
    rule->Reach = r.Bool("reach", false);
    return rule;
}

std::unique_ptr<Rule> ReadIndependent(TableReader& r) {
    auto rule = std::make_unique<IndependentRule>();
    r.Head(*rule);
    rule->Parts = r.Sets("sets");
    return rule;
}

std::unique_ptr<Rule> ReadAcyclic(TableReader& r) {
    auto rule = std::make_unique<AcyclicRule>();
    r.Head(*rule);
    rule->Units = r.Set(r.Required("set"), "set");
    rule->InterfaceOnly = r.Bool("interface_only", false);
    return rule;
}

std::unique_ptr<Rule> ReadBudget(TableReader& r) {
    auto rule = std::make_unique<BudgetRule>();
    r.Head(*rule);
    rule->Units = r.Set(r.Required("set"), "set");
    const toml::node& max = r.Required("max_bytes");
    if (!max.is_integer() || max.as_integer()->get() < 0)
        r.Fail(max, "\"max_bytes\" must be a whole number of bytes, 0 or more");
    rule->MaxBytes = max.as_integer()->get();
    return rule;
}

using KindReader = std::unique_ptr<Rule> (*)(TableReader&);
const std::pair<const char*, KindReader> Kinds[] = {
    {"layers", ReadLayers},   {"forbid", ReadForbid}, {"independent", ReadIndependent},
    {"acyclic", ReadAcyclic}, {"budget", ReadBudget},
};

} // namespace

RuleSet ParseRules(std::string_view text, const std::string& fileName, const std::string& baseDir) {
    toml::table doc;
    try {
        doc = toml::parse(text, fileName);
    } catch (const toml::parse_error& e) {
        const toml::source_position p = e.source().begin;
        throw ERulesError(fileName + ":" + std::to_string(p.line) + ":" + std::to_string(p.column) +
                          ": " + std::string(e.description()));
    }
    RuleSet set;
    set.File = fileName;
    set.BaseDir = baseDir;
    // Rules are read in the order they stand in the file, whatever their kind.
    std::vector<std::pair<const toml::table*, const std::pair<const char*, KindReader>*>> tables;
    for (const auto& [key, value] : doc) {
        const auto kind = std::find_if(std::begin(Kinds), std::end(Kinds),
                                       [&](const auto& k) { return key.str() == k.first; });
        const toml::source_position p = key.source().begin;
        const std::string where =
            fileName + ":" + std::to_string(p.line) + ":" + std::to_string(p.column) + ": ";
        if (kind == std::end(Kinds))
            throw ERulesError(where + "unknown rule kind \"" + std::string(key.str()) +
                              "\" (layers, forbid, independent, acyclic, budget)");
        if (!value.is_array_of_tables())
            throw ERulesError(where + "\"" + std::string(key.str()) +
                              "\" is an array of tables: [[" + std::string(key.str()) + "]]");
        for (const toml::node& t : *value.as_array())
            tables.emplace_back(t.as_table(), &*kind);
    }
    std::stable_sort(tables.begin(), tables.end(), [](const auto& a, const auto& b) {
        return a.first->source().begin.line < b.first->source().begin.line;
    });
    std::set<std::string> names;
    for (const auto& [table, kind] : tables) {
        TableReader reader(*table, fileName, baseDir, kind->first);
        std::unique_ptr<Rule> rule = kind->second(reader);
        reader.CheckKeys();
        if (!names.insert(rule->Name).second)
            reader.Fail(*table->get("name"), "a second rule of this name");
        set.Rules.push_back(std::move(rule));
    }
    return set;
}

RuleSet LoadRules(const std::string& fileName) {
    std::string text;
    try {
        text = LoadFileText(fileName);
    } catch (const std::exception& e) {
        throw ERulesError(e.what());
    }
    return ParseRules(text, fileName, fs::ExtractFileDir(fs::ExpandFileName(fileName)));
}

} // namespace ut::rules

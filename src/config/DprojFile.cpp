#include "config/DprojFile.h"

#include "config/MsBuildCondition.h"
#include "config/MsBuildProperties.h"
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "support/Exceptions.h"
#include "support/Textutil.h"

#include <pugixml.hpp>

#include <algorithm>
#include <set>

namespace ut {

namespace {

/// A value longer than this comes from a property that keeps doubling itself.
constexpr size_t MaxPropertyLength = 64 * 1024;

bool Named(const pugi::xml_node& node, const char* name) {
    return node.type() == pugi::node_element && SameText(node.name(), name);
}

int FindText(const std::vector<std::string>& list, std::string_view s) {
    for (size_t i = 0; i < list.size(); ++i)
        if (SameText(list[i], s))
            return static_cast<int>(i);
    return -1;
}

std::string ListText(const std::vector<std::string>& list) {
    std::string s;
    for (const std::string& item : list)
        s += (s.empty() ? "" : ", ") + item;
    return s;
}

/// What the file offers, whatever the choice: its build configurations and the platforms
/// its IDE section enables.
void ReadOffered(const pugi::xml_node& project, TDprojSettings& out) {
    for (const pugi::xml_node& group : project.children()) {
        if (!Named(group, "ItemGroup"))
            continue;
        for (const pugi::xml_node& item : group.children()) {
            const std::string name = Trim(item.attribute("Include").value());
            if (Named(item, "BuildConfiguration") && !name.empty() && !SameText(name, "Base") &&
                FindText(out.Configs, name) < 0)
                out.Configs.push_back(name);
        }
    }
    const pugi::xml_node platforms =
        project.child("ProjectExtensions").child("BorlandProject").child("Platforms");
    for (const pugi::xml_node& p : platforms.children()) {
        const std::string name = Trim(p.attribute("value").value());
        if (Named(p, "Platform") && SameText(Trim(p.child_value()), "True") && !name.empty() &&
            FindText(out.Platforms, name) < 0)
            out.Platforms.push_back(name);
    }
}

/// One evaluation of the file for a choice of configuration and platform.
class Evaluation {
  public:
    Evaluation(pugi::xml_node project, std::string_view text, const std::string& fileName,
               const TDprojChoice& choice)
        : FProject(project), FText(text), FFileName(fs::ExtractFileName(fileName)) {
        if (!choice.Config.empty())
            FProps.SetGlobal("Config", choice.Config);
        if (!choice.Platform.empty())
            FProps.SetGlobal("Platform", choice.Platform);
        FProps.Set("ProjectName", fs::FileKey(fileName));
        FProps.Set("MSBuildProjectName", fs::FileKey(fileName));
        FProps.SetEnvironment(choice.Environment);
        // Unknown, the installation's macros stay visible in the paths that use them, unless
        // the environment sets them.
        const std::string root = fs::ExcludeTrailingPathDelimiter(choice.BdsRoot);
        if (!root.empty() || !FProps.Get("BDS"))
            FProps.Set("BDS", root.empty() ? "$(BDS)" : root);
        if (!root.empty() || !FProps.Get("BDSLIB"))
            FProps.Set("BDSLIB", root.empty() ? "$(BDSLIB)" : root + "\\lib");
    }

    void Run(TDprojSettings& out) {
        std::vector<pugi::xml_node> itemGroups;
        for (const pugi::xml_node& group : FProject.children()) {
            if (Named(group, "PropertyGroup") && Holds(group)) {
                for (const pugi::xml_node& property : group.children())
                    if (property.type() == pugi::node_element && Holds(property))
                        Assign(property);
            } else if (Named(group, "ItemGroup")) {
                itemGroups.push_back(group);
            }
        }
        // Items are evaluated after every property, as MSBuild does.
        for (const pugi::xml_node& group : itemGroups) {
            if (!Holds(group))
                continue;
            for (const pugi::xml_node& item : group.children()) {
                if (!Named(item, "DCCReference") || !Holds(item))
                    continue;
                std::vector<std::string> files;
                SplitToList(FProps.Expand(item.attribute("Include").value()), ";", files);
                for (const std::string& f : files)
                    if (!Trim(f).empty())
                        out.References.push_back(Trim(f));
            }
        }
        out.Config = FProps.Value("Config");
        out.Platform = FProps.Value("Platform");
        out.MainSource = FProps.Value("MainSource");
        out.AppType = FProps.Value("AppType");
        out.UnitSearchPath = FProps.Value("DCC_UnitSearchPath");
        out.Defines = FProps.Value("DCC_Define");
        out.UnitScopes = FProps.Value("DCC_Namespace");
        out.ExeOutput = FProps.Value("DCC_ExeOutput");
        out.DcuOutput = FProps.Value("DCC_DcuOutput");
        out.BplOutput = FProps.Value("DCC_BplOutput");
        out.MapFile = FProps.Value("DCC_MapFile");
        out.UnknownVariables = FProps.Lost("DCC_UnitSearchPath");
        out.Notes.insert(out.Notes.end(), FNotes.begin(), FNotes.end());
    }

  private:
    std::string Where(const pugi::xml_node& node) const {
        const auto offset = static_cast<size_t>(std::max<ptrdiff_t>(node.offset_debug(), 0));
        const auto text = FText.substr(0, std::min(offset, FText.size()));
        return FFileName + ", line " +
               std::to_string(1 + std::count(text.begin(), text.end(), '\n'));
    }

    bool Holds(const pugi::xml_node& node) {
        const pugi::xml_attribute condition = node.attribute("Condition");
        if (!condition)
            return true;
        const ConditionResult r = EvaluateCondition(
            condition.value(), [this](std::string_view s) { return FProps.Expand(s); });
        if (!r.Error.empty())
            FNotes.push_back(Where(node) + ": cannot read the condition \"" +
                             std::string(condition.value()) + "\" (" + r.Error + "); <" +
                             node.name() + "> is left out");
        return r.Value;
    }

    void Assign(const pugi::xml_node& property) {
        std::vector<std::string> lost;
        std::string value = Trim(FProps.Expand(property.child_value(), &lost));
        if (value.size() > MaxPropertyLength) {
            if (FGrowing.insert(AsciiUpper(property.name())).second)
                FNotes.push_back(Where(property) + ": " + property.name() + " grows past " +
                                 std::to_string(MaxPropertyLength) +
                                 " characters (it keeps repeating itself); its previous value "
                                 "is kept");
            return;
        }
        // A property that takes in its own earlier value lost nothing when it had none.
        std::erase_if(lost, [&](const std::string& n) { return SameText(n, property.name()); });
        FProps.Set(property.name(), value, std::move(lost));
    }

    pugi::xml_node FProject;
    std::string_view FText;
    std::string FFileName;
    TMsBuildProperties FProps;
    std::vector<std::string> FNotes;
    std::set<std::string> FGrowing;
};

/// The choice among what the file offers, spelt as the file spells it: an unknown one is
/// dropped (the file's default applies) with a note.
std::string Checked(const std::string& chosen, const std::vector<std::string>& offered,
                    const char* what, const std::string& fileName, std::string& note) {
    if (chosen.empty() || offered.empty())
        return chosen;
    const int i = FindText(offered, Trim(chosen));
    if (i >= 0)
        return offered[static_cast<size_t>(i)];
    note = fileName + " has no " + what + " \"" + chosen + "\" (it has " + ListText(offered) + ")";
    return {};
}

} // namespace

TDprojSettings ReadDprojText(std::string_view xml, const std::string& fileName,
                             const TDprojChoice& choice) {
    TDprojSettings out;
    const std::string shortName = fs::ExtractFileName(fileName);
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(xml.data(), xml.size());
    const pugi::xml_node project = doc.document_element();
    if (!parsed || !Named(project, "Project")) {
        std::string why = "no <Project> element";
        if (!parsed) {
            const auto at =
                std::min(static_cast<size_t>(std::max<ptrdiff_t>(parsed.offset, 0)), xml.size());
            why = std::string(parsed.description()) + " on line " +
                  std::to_string(1 + std::count(xml.begin(), xml.begin() + at, '\n'));
        }
        out.Notes.push_back(shortName + " is not a project file (" + why + "); it is not used");
        return out;
    }
    out.Read = true;
    ReadOffered(project, out);

    TDprojChoice effective = choice;
    std::string configNote, platformNote;
    effective.Config = Checked(choice.Config, out.Configs, "configuration", shortName, configNote);
    effective.Platform =
        Checked(choice.Platform, out.Platforms, "platform", shortName, platformNote);
    TDprojSettings settings = out;
    Evaluation(project, xml, fileName, effective).Run(settings);

    // A default the file does not offer itself gives way to its first offer.
    auto fallBack = [&](std::string& chosen, const std::string& inForce,
                        const std::vector<std::string>& offered, std::string& note,
                        const char* what) {
        if (offered.empty() || FindText(offered, inForce) >= 0)
            return false;
        if (note.empty() && inForce.empty())
            note = shortName + " names no default " + what;
        else if (note.empty())
            note = shortName + ": its default " + what + " \"" + inForce +
                   "\" is not one it has (" + ListText(offered) + ")";
        chosen = offered.front();
        return true;
    };
    const bool otherConfig =
        fallBack(effective.Config, settings.Config, out.Configs, configNote, "configuration");
    const bool otherPlatform =
        fallBack(effective.Platform, settings.Platform, out.Platforms, platformNote, "platform");
    if (otherConfig || otherPlatform) {
        settings = out;
        Evaluation(project, xml, fileName, effective).Run(settings);
    }
    if (!configNote.empty())
        settings.Notes.insert(settings.Notes.begin(),
                              configNote + "; \"" + settings.Config + "\" is used");
    if (!platformNote.empty())
        settings.Notes.insert(settings.Notes.begin() + (configNote.empty() ? 0 : 1),
                              platformNote + "; \"" + settings.Platform + "\" is used");
    return settings;
}

TDprojSettings ReadDproj(const std::string& fileName, const TDprojChoice& choice) {
    std::string text;
    try {
        LoadFileText(fileName, text);
    } catch (const Exception& e) {
        TDprojSettings out;
        out.Notes.push_back(fs::ExtractFileName(fileName) + " cannot be read: " + e.what());
        return out;
    }
    return ReadDprojText(text, fileName, choice);
}

} // namespace ut

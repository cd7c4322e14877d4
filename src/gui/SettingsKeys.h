#pragma once
// Every name under which the main window keeps its settings. On Windows QSettings puts them
// in the registry key "Software\Brenlow\Treeloom"; elsewhere in Brenlow/Treeloom.conf.
namespace ut::gui::keys {

inline constexpr const char* Organization = "Brenlow";
inline constexpr const char* Application = "Treeloom";

/// The section of the window's own values.
inline constexpr const char* Main = "Main";
/// The section of the ignored-units list: the section name, a dot, the list's item name.
inline constexpr const char* IgnUnitsLines = "Main.IgnUnits_Lines";

// Values of "Main".
inline constexpr const char* FormVersion = "FormVersion";
inline constexpr const char* Flags = "Flags";
inline constexpr const char* ShowCmd = "ShowCmd";
inline constexpr const char* PixelsPerInch = "PixelsPerInch";
inline constexpr const char* MinMaxPos = "MinMaxPos";
inline constexpr const char* NormPos = "NormPos";
inline constexpr const char* DelphiVersionText = "EDelphi_Text";
/// The compiler the sources are read for: "delphi" or "fpc".
inline constexpr const char* Compiler = "Compiler";
inline constexpr const char* BrowseAlsoChecked = "chkBrowseAlso_Checked";
inline constexpr const char* ShowIgnoredChecked = "chkShowIgnored_Checked";
inline constexpr const char* ShowUnknownChecked = "chkShowUnkn_Checked";
inline constexpr const char* Project = "Project";
/// The size the user last gave a detail window: "width,height".
inline constexpr const char* UnitWindowSize = "UnitWindowSize";

// Values of a list section.
inline constexpr const char* Count = "Count";
/// "Item%d", counting from 0.
inline constexpr const char* ItemPrefix = "Item";

/// The section of the build configuration and platform chosen per project, the most recent
/// project first: "Count", then "Project%d", "Config%d" and "Platform%d" counting from 0,
/// and "RulesFile%d" and "Baseline%d" for a project checked with rules.
inline constexpr const char* ProjectChoices = "Main.ProjectChoices";
inline constexpr const char* ProjectPrefix = "Project";
inline constexpr const char* ConfigPrefix = "Config";
inline constexpr const char* PlatformPrefix = "Platform";
inline constexpr const char* RulesFilePrefix = "RulesFile";
inline constexpr const char* BaselinePrefix = "Baseline";

/// Texts of a stored Boolean.
inline constexpr const char* True = "True";
inline constexpr const char* False = "False";

/// The storage's version number; a stored number above it skips the restore.
inline constexpr int CurrentFormVersion = 0;

} // namespace ut::gui::keys

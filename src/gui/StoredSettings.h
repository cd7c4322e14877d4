#pragma once
// The main window's saved settings: what is read from and written to the settings store,
// under the names of SettingsKeys.h. Only the values present in the store are restored.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QSettings;

namespace ut::gui {

/// Window show states as the placement stores them.
enum ShowCommand : int { scNormal = 1, scMinimized = 2, scMaximized = 3 };

struct WindowPlacement {
    int Flags = 0;
    int ShowCmd = scNormal;
    QPoint MinPosition{-1, -1};
    QPoint MaxPosition{-1, -1};
    QRect NormalRect; ///< stored as left, top, right, bottom (right and bottom exclusive)
    int PixelsPerInch = 96;
};

/// The build configuration and platform chosen for one project (a .dproj's), and the
/// rules file and baseline its scans are checked with.
struct ProjectChoice {
    QString Project;
    QString Config;
    QString Platform;
    QString RulesFile;
    QString Baseline;
    bool operator==(const ProjectChoice&) const = default;
};

/// The most lines a list section gives back, whatever its count says.
inline constexpr int MaxListItems = 10000;
/// The most projects whose choices are kept.
inline constexpr int MaxProjectChoices = 50;
/// A stored window coordinate beyond this, either way, is taken for a corrupt value.
inline constexpr int MaxCoordinate = 1000000;

struct StoredSettings {
    std::optional<WindowPlacement> Placement; ///< present when "NormPos" could be read
    std::optional<QString> Delphi;
    std::optional<QString> Compiler; ///< as the command line names it: "delphi", "fpc"
    std::optional<bool> BrowseAlso;
    /// The ignored units; present only when the stored count is above 0.
    std::optional<QStringList> IgnUnits;
    std::optional<bool> ShowIgnored;
    std::optional<bool> ShowUnknown;
    std::optional<QString> Project;
    /// The most recent project first; present when the section has a count above 0.
    std::optional<QList<ProjectChoice>> ProjectChoices;
    /// Present when stored as two positive numbers no larger than MaxCoordinate.
    std::optional<QSize> UnitWindowSize;
};

/// Reads the stored settings. Returns nullopt when the store was written by a newer
/// version of the window (its "FormVersion" is greater than ours): nothing is restored.
std::optional<StoredSettings> ReadSettings(QSettings& settings);

/// Writes the settings; absent items are not written. The list section of the ignored
/// units is erased first and written again only when the list has lines.
void WriteSettings(QSettings& settings, const StoredSettings& stored);

/// The choice remembered for `project`, or nullptr.
const ProjectChoice* FindProjectChoice(const QList<ProjectChoice>& choices, const QString& project);
/// Puts `choice` first, replacing an older one for its project; keeps MaxProjectChoices.
void RememberProjectChoice(QList<ProjectChoice>& choices, const ProjectChoice& choice);

/// Where a window of the stored rectangle goes on `screens` (their available areas, the
/// primary first): where it was while its top edge can be reached on a screen and it is no
/// larger than that screen; otherwise made to fit that screen (none reached: the primary)
/// and moved as little as it takes to lie inside it.
QRect FitOnScreen(const QRect& rect, const QList<QRect>& screens);

/// What went wrong with the store, for the log: "The settings file NAME could not be read
/// (access denied)"; empty when nothing did.
QString SettingsProblem(const QSettings& settings, bool writing);

/// "%d,%d,%d,%d" of the four numbers, and back (nullopt when the text is not four integers).
QString FormatQuad(int a, int b, int c, int d);
std::optional<std::array<int, 4>> ParseQuad(const QString& text);

/// "True"/"False"; reading accepts either in any letter case and integers (0 is false).
std::optional<bool> ParseBool(const QString& text);

} // namespace ut::gui

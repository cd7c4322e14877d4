#pragma once
// The main window's saved settings: what is read from and written to the settings store,
// under the names of SettingsKeys.h. Only the values present in the store are restored.
#include <QPoint>
#include <QRect>
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

struct StoredSettings {
    std::optional<WindowPlacement> Placement; ///< present when "NormPos" could be read
    std::optional<QString> Delphi;
    std::optional<bool> BrowseAlso;
    /// The ignored units; present only when the stored count is above 0.
    std::optional<QStringList> IgnUnits;
    std::optional<bool> ShowIgnored;
    std::optional<bool> ShowUnknown;
    std::optional<QString> Project;
};

/// Reads the stored settings. Returns nullopt when the store was written by a newer
/// version of the window (its "FormVersion" is greater than ours): nothing is restored.
std::optional<StoredSettings> ReadSettings(QSettings& settings);

/// Writes the settings; absent items are not written. The list section of the ignored
/// units is erased first and written again only when the list has lines.
void WriteSettings(QSettings& settings, const StoredSettings& stored);

/// "%d,%d,%d,%d" of the four numbers, and back (nullopt when the text is not four integers).
QString FormatQuad(int a, int b, int c, int d);
std::optional<std::array<int, 4>> ParseQuad(const QString& text);

/// "True"/"False"; reading accepts either in any letter case and integers (0 is false).
std::optional<bool> ParseBool(const QString& text);

} // namespace ut::gui

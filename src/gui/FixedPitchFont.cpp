#include "gui/FixedPitchFont.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

#include <algorithm>

namespace ut::gui {

bool HasEqualAdvances(const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(QLatin1Char('i')) ==
           metrics.horizontalAdvance(QLatin1Char('W'));
}

QFont FixedPitchFont() {
    const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (HasEqualAdvances(system))
        return system;
    QFont monospace = system;
    monospace.setFamilies({QStringLiteral("monospace")});
    monospace.setStyleHint(QFont::Monospace);
    if (HasEqualAdvances(monospace))
        return monospace;
    QStringList families = QFontDatabase::families();
    std::stable_partition(families.begin(), families.end(), [](const QString& family) {
        return QFontDatabase::isFixedPitch(family);
    });
    for (const QString& family : families) {
        QFont candidate = system;
        candidate.setFamilies({family});
        if (HasEqualAdvances(candidate))
            return candidate;
    }
    return system;
}

} // namespace ut::gui

#include "gui/StoredSettings.h"

#include "gui/SettingsKeys.h"

#include <QDir>
#include <QSettings>

#include <algorithm>

namespace ut::gui {

QString FormatQuad(int a, int b, int c, int d) {
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

std::optional<std::array<int, 4>> ParseQuad(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    std::array<int, 4> out{};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        out[static_cast<size_t>(i)] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return out;
}

std::optional<bool> ParseBool(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String(keys::True), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String(keys::False), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const int n = t.toInt(&ok);
    if (ok)
        return n != 0;
    return std::nullopt;
}

namespace {

std::optional<QString> ReadText(QSettings& s, const char* name) {
    const QVariant v = s.value(QLatin1String(name));
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

std::optional<int> ReadInt(QSettings& s, const char* name) {
    const auto text = ReadText(s, name);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int n = text->trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

std::optional<bool> ReadBool(QSettings& s, const char* name) {
    const auto text = ReadText(s, name);
    return text ? ParseBool(*text) : std::nullopt;
}

std::optional<WindowPlacement> ReadPlacement(QSettings& s) {
    const auto norm = ReadText(s, keys::NormPos);
    const auto rect = norm ? ParseQuad(*norm) : std::nullopt;
    if (!rect || std::any_of(rect->begin(), rect->end(),
                             [](int v) { return v < -MaxCoordinate || v > MaxCoordinate; }))
        return std::nullopt;
    WindowPlacement p;
    p.NormalRect = QRect(QPoint((*rect)[0], (*rect)[1]), QPoint((*rect)[2] - 1, (*rect)[3] - 1));
    p.Flags = ReadInt(s, keys::Flags).value_or(0);
    p.ShowCmd = ReadInt(s, keys::ShowCmd).value_or(scNormal);
    p.PixelsPerInch = ReadInt(s, keys::PixelsPerInch).value_or(0);
    if (const auto mm = ReadText(s, keys::MinMaxPos)) {
        if (const auto q = ParseQuad(*mm)) {
            p.MinPosition = QPoint((*q)[0], (*q)[1]);
            p.MaxPosition = QPoint((*q)[2], (*q)[3]);
        }
    }
    return p;
}

/// How many items of a list section to read: up to the last one present below the stored
/// count and MaxListItems (a corrupt count cannot make the list longer); -1 for a count of
/// 0 or none. Call inside the section.
int ListLength(QSettings& s, const char* prefix) {
    const int count = s.value(QLatin1String(keys::Count)).toString().trimmed().toInt();
    if (count <= 0)
        return -1;
    const int limit = std::min(count, MaxListItems);
    const QLatin1String name(prefix);
    int length = 0;
    for (const QString& key : s.childKeys()) {
        bool ok = false;
        const int i = key.startsWith(name) ? key.mid(name.size()).toInt(&ok) : -1;
        if (ok && i >= 0 && i < limit)
            length = std::max(length, i + 1);
    }
    return length;
}

QString Item(QSettings& s, const char* prefix, int i) {
    return s.value(QLatin1String(prefix) + QString::number(i)).toString();
}

std::optional<QStringList> ReadLines(QSettings& s) {
    s.beginGroup(QLatin1String(keys::IgnUnitsLines));
    const int length = ListLength(s, keys::ItemPrefix);
    std::optional<QStringList> lines;
    if (length >= 0) {
        lines.emplace();
        for (int i = 0; i < length; ++i)
            lines->append(Item(s, keys::ItemPrefix, i));
    }
    s.endGroup();
    return lines;
}

std::optional<QList<ProjectChoice>> ReadProjectChoices(QSettings& s) {
    s.beginGroup(QLatin1String(keys::ProjectChoices));
    const int length = std::min(ListLength(s, keys::ProjectPrefix), MaxProjectChoices);
    std::optional<QList<ProjectChoice>> choices;
    if (length >= 0) {
        choices.emplace();
        for (int i = 0; i < length; ++i) {
            ProjectChoice c{Item(s, keys::ProjectPrefix, i), Item(s, keys::ConfigPrefix, i),
                            Item(s, keys::PlatformPrefix, i), Item(s, keys::RulesFilePrefix, i),
                            Item(s, keys::BaselinePrefix, i)};
            if (!c.Project.isEmpty() && !FindProjectChoice(*choices, c.Project))
                choices->append(c);
        }
    }
    s.endGroup();
    return choices;
}

} // namespace

std::optional<StoredSettings> ReadSettings(QSettings& s) {
    s.beginGroup(QLatin1String(keys::Main));
    const int version = ReadInt(s, keys::FormVersion).value_or(0);
    if (version > keys::CurrentFormVersion) {
        s.endGroup();
        return std::nullopt;
    }
    StoredSettings out;
    out.Placement = ReadPlacement(s);
    out.Delphi = ReadText(s, keys::DelphiVersionText);
    out.Compiler = ReadText(s, keys::Compiler);
    out.BrowseAlso = ReadBool(s, keys::BrowseAlsoChecked);
    out.ShowIgnored = ReadBool(s, keys::ShowIgnoredChecked);
    out.ShowUnknown = ReadBool(s, keys::ShowUnknownChecked);
    out.Project = ReadText(s, keys::Project);
    if (const auto size = ReadText(s, keys::UnitWindowSize)) {
        const QStringList numbers = size->split(u',');
        bool w = false, h = false;
        const QSize value(numbers.value(0).trimmed().toInt(&w),
                          numbers.value(1).trimmed().toInt(&h));
        if (numbers.size() == 2 && w && h && !value.isEmpty() && value.width() <= MaxCoordinate &&
            value.height() <= MaxCoordinate)
            out.UnitWindowSize = value;
    }
    s.endGroup();
    out.IgnUnits = ReadLines(s);
    out.ProjectChoices = ReadProjectChoices(s);
    return out;
}

namespace {

void WriteBool(QSettings& s, const char* name, const std::optional<bool>& value) {
    if (value)
        s.setValue(QLatin1String(name), QLatin1String(*value ? keys::True : keys::False));
}

} // namespace

void WriteSettings(QSettings& s, const StoredSettings& stored) {
    s.beginGroup(QLatin1String(keys::Main));
    s.setValue(QLatin1String(keys::FormVersion), QString::number(keys::CurrentFormVersion));
    if (const auto& p = stored.Placement) {
        s.setValue(QLatin1String(keys::Flags), QString::number(p->Flags));
        s.setValue(QLatin1String(keys::ShowCmd), QString::number(p->ShowCmd));
        s.setValue(QLatin1String(keys::PixelsPerInch), QString::number(p->PixelsPerInch));
        s.setValue(QLatin1String(keys::MinMaxPos),
                   FormatQuad(p->MinPosition.x(), p->MinPosition.y(), p->MaxPosition.x(),
                              p->MaxPosition.y()));
        const QRect& r = p->NormalRect;
        s.setValue(QLatin1String(keys::NormPos),
                   FormatQuad(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()));
    }
    if (stored.Delphi)
        s.setValue(QLatin1String(keys::DelphiVersionText), *stored.Delphi);
    if (stored.Compiler)
        s.setValue(QLatin1String(keys::Compiler), *stored.Compiler);
    WriteBool(s, keys::BrowseAlsoChecked, stored.BrowseAlso);
    if (stored.UnitWindowSize)
        s.setValue(QLatin1String(keys::UnitWindowSize), QStringLiteral("%1,%2")
                                                            .arg(stored.UnitWindowSize->width())
                                                            .arg(stored.UnitWindowSize->height()));
    s.endGroup();

    if (stored.IgnUnits) {
        s.remove(QLatin1String(keys::IgnUnitsLines));
        if (!stored.IgnUnits->isEmpty()) {
            s.beginGroup(QLatin1String(keys::IgnUnitsLines));
            s.setValue(QLatin1String(keys::Count), QString::number(stored.IgnUnits->size()));
            for (int i = 0; i < stored.IgnUnits->size(); ++i)
                s.setValue(QLatin1String(keys::ItemPrefix) + QString::number(i),
                           stored.IgnUnits->at(i));
            s.endGroup();
        }
    }

    s.beginGroup(QLatin1String(keys::Main));
    WriteBool(s, keys::ShowIgnoredChecked, stored.ShowIgnored);
    WriteBool(s, keys::ShowUnknownChecked, stored.ShowUnknown);
    if (stored.Project)
        s.setValue(QLatin1String(keys::Project), *stored.Project);
    s.endGroup();

    if (const auto& choices = stored.ProjectChoices) {
        s.remove(QLatin1String(keys::ProjectChoices));
        if (!choices->isEmpty()) {
            s.beginGroup(QLatin1String(keys::ProjectChoices));
            const int count = std::min(int(choices->size()), MaxProjectChoices);
            s.setValue(QLatin1String(keys::Count), QString::number(count));
            for (int i = 0; i < count; ++i) {
                const QString n = QString::number(i);
                s.setValue(QLatin1String(keys::ProjectPrefix) + n, choices->at(i).Project);
                s.setValue(QLatin1String(keys::ConfigPrefix) + n, choices->at(i).Config);
                s.setValue(QLatin1String(keys::PlatformPrefix) + n, choices->at(i).Platform);
                // Written only when chosen, so the section of a project without rules
                // stays as it was.
                if (!choices->at(i).RulesFile.isEmpty())
                    s.setValue(QLatin1String(keys::RulesFilePrefix) + n, choices->at(i).RulesFile);
                if (!choices->at(i).Baseline.isEmpty())
                    s.setValue(QLatin1String(keys::BaselinePrefix) + n, choices->at(i).Baseline);
            }
            s.endGroup();
        }
    }
}

const ProjectChoice* FindProjectChoice(const QList<ProjectChoice>& choices,
                                       const QString& project) {
    for (const ProjectChoice& c : choices)
        if (c.Project == project)
            return &c;
    return nullptr;
}

void RememberProjectChoice(QList<ProjectChoice>& choices, const ProjectChoice& choice) {
    choices.removeIf([&](const ProjectChoice& c) { return c.Project == choice.Project; });
    choices.prepend(choice);
    while (choices.size() > MaxProjectChoices)
        choices.removeLast();
}

QRect FitOnScreen(const QRect& rect, const QList<QRect>& screens) {
    if (screens.isEmpty() || !rect.isValid())
        return rect;
    // Reachable: a piece of the top edge, where the title bar is, lies on the screen.
    constexpr int Reach = 40;
    const QRect* home = nullptr;
    for (const QRect& screen : screens) {
        const QRect top = QRect(rect.left(), rect.top(), rect.width(), 1) & screen;
        if (top.width() >= std::min(Reach, rect.width())) {
            home = &screen;
            break;
        }
    }
    const QRect& screen = home ? *home : screens.first();
    const QSize size = rect.size().boundedTo(screen.size());
    if (home && size == rect.size())
        return rect;
    const int x = std::clamp(rect.left(), screen.left(), screen.right() + 1 - size.width());
    const int y = std::clamp(rect.top(), screen.top(), screen.bottom() + 1 - size.height());
    return QRect(QPoint(x, y), size);
}

QString SettingsProblem(const QSettings& settings, bool writing) {
    const QString file = QDir::toNativeSeparators(settings.fileName());
    const QString verb = writing ? QStringLiteral("written") : QStringLiteral("read");
    switch (settings.status()) {
    case QSettings::NoError:
        return QString();
    case QSettings::AccessError:
        return QStringLiteral("The settings file %1 could not be %2 (access denied)")
            .arg(file, verb);
    case QSettings::FormatError:
        return QStringLiteral("The settings file %1 could not be %2 (not in the settings format)")
            .arg(file, verb);
    }
    return QString();
}

} // namespace ut::gui

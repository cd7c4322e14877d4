#include "gui/StoredSettings.h"

#include "gui/SettingsKeys.h"

#include <QSettings>

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
    if (!rect)
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

std::optional<QStringList> ReadLines(QSettings& s) {
    s.beginGroup(QLatin1String(keys::IgnUnitsLines));
    const int count = s.value(QLatin1String(keys::Count)).toString().trimmed().toInt();
    std::optional<QStringList> lines;
    if (count > 0) {
        lines.emplace();
        for (int i = 0; i < count; ++i)
            lines->append(s.value(QLatin1String(keys::ItemPrefix) + QString::number(i)).toString());
    }
    s.endGroup();
    return lines;
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
    out.BrowseAlso = ReadBool(s, keys::BrowseAlsoChecked);
    out.ShowIgnored = ReadBool(s, keys::ShowIgnoredChecked);
    out.ShowUnknown = ReadBool(s, keys::ShowUnknownChecked);
    out.Project = ReadText(s, keys::Project);
    s.endGroup();
    out.IgnUnits = ReadLines(s);
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
    WriteBool(s, keys::BrowseAlsoChecked, stored.BrowseAlso);
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
}

} // namespace ut::gui

#pragma once
// The images of the dependency trees' nodes, drawn in code and addressed by name: "Unit",
// "Project", "Unit_Disa", "Unit_Intf" and the overlay "FormOver" for units with a form.
#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>

namespace ut::gui {

inline constexpr int NodeImageSize = 16;

/// The image names in list order: "Unit", "Project", "Unit_Disa", "Unit_Intf", "FormOver",
/// "RemoveOver", "MoveOver", "UnknownOver".
const QStringList& NodeImageNames();

/// The 16x16 image of that name (transparent where nothing is drawn); a null image for a
/// name that is not in the list.
QImage NamedNodeImage(const QString& name);

/// A node's icon: the named image, with "FormOver" drawn over it when `formOverlay` is set
/// and the image `badge` when it names one. Icons are made once per (name, overlays) and
/// shared. A null icon for an unknown name.
QIcon NodeIcon(const QString& name, bool formOverlay, const QString& badge = QString());

} // namespace ut::gui

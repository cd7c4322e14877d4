#pragma once
// The font of the log, the map view and the ignored-units editor: one whose glyphs all have
// the same advance, judged by what is drawn. The toolkit's own fixed-pitch flag cannot be
// trusted for this: it is false for some monospaced fonts (Noto Sans Mono).
#include <QFont>

namespace ut::gui {

/// Whether "i" and "W" advance equally in `font` as it resolves on this system.
bool HasEqualAdvances(const QFont& font);

/// The system's fixed-pitch font when its glyphs advance equally; otherwise the first
/// installed family, marked fixed-pitch ones first, whose glyphs do, at the same size.
QFont FixedPitchFont();

} // namespace ut::gui

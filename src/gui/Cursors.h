#pragma once

#include <QCursor>
#include <QIcon>
#include <QString>

// The program's own cursors, selected by number: 0 is the arrow, 1 DRAW, 2 DELETE, 3 REJECT,
// 4 ZOOMIN, 5 ZOOMOUT, 6 PIPET, 7 MAND2JUL. Each is a 32 x 32 image from the resources with its
// hot spot where the cursor acts (pen or pipette tip, lens centre, crosshair centre). Any other
// number, or an image missing from the resources, gives the arrow.
QCursor KorvanaCursor(int number);

// Number of cursors KorvanaCursor knows, the arrow included.
inline constexpr int KorvanaCursorCount = 8;

// Tool bar icon of the action with this object name (":/actions/<actionName>.png"); an empty
// icon when the resources hold none.
QIcon KorvanaActionIcon(const QString& actionName);

// The program's icon, for the windows and the About box.
QIcon KorvanaAppIcon();

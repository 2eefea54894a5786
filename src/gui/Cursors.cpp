#include "gui/Cursors.h"

#include <QFile>
#include <QPixmap>

#include <array>

// The resources may sit in a static library; naming them here keeps the linker from dropping them.
static void EnsureKorvanaResources()
{
  static const bool registered = [] {
    Q_INIT_RESOURCE(korvana);
    return true;
  }();
  (void)registered;
}

namespace {

struct CursorImage {
  const char* resource;
  int hotX;
  int hotY;
};

// Index = cursor number; hot spots in pixels of the 32 x 32 images, as drawn in cursors/src.
constexpr std::array<CursorImage, KorvanaCursorCount> cursorImages{{
    {nullptr, 0, 0},
    {":/cursors/DRAW.png", 2, 29},
    {":/cursors/DELETE.png", 3, 28},
    {":/cursors/REJECT.png", 15, 15},
    {":/cursors/ZOOMIN.png", 12, 12},
    {":/cursors/ZOOMOUT.png", 12, 12},
    {":/cursors/PIPET.png", 2, 29},
    {":/cursors/MAND2JUL.png", 15, 15},
}};

} // namespace

QCursor KorvanaCursor(int number)
{
  if (number <= 0 || number >= KorvanaCursorCount)
    return QCursor(Qt::ArrowCursor);
  EnsureKorvanaResources();
  const CursorImage& image = cursorImages[static_cast<std::size_t>(number)];
  const QPixmap pixmap(QString::fromLatin1(image.resource));
  if (pixmap.isNull())
    return QCursor(Qt::ArrowCursor);
  return QCursor(pixmap, image.hotX, image.hotY);
}

QIcon KorvanaActionIcon(const QString& actionName)
{
  EnsureKorvanaResources();
  const QString path = QStringLiteral(":/actions/") + actionName + QStringLiteral(".png");
  if (actionName.isEmpty() || !QFile::exists(path))
    return QIcon();
  return QIcon(path);
}

QIcon KorvanaAppIcon()
{
  EnsureKorvanaResources();
  return QIcon(QStringLiteral(":/icons/korvana-256.png"));
}

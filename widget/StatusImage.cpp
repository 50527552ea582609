#include "widget/StatusImage.h"

// The built-in images live in this static library's resources, which the linker would drop
// without a reference.
static void loadBuiltInImages()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(widget);
        return true;
    }();
    Q_UNUSED(loaded);
}

namespace StatusImage {

QIcon available()
{
    loadBuiltInImages();
    return QIcon::fromTheme(QStringLiteral("user-available"),
                            QIcon(QStringLiteral(":/widget/images/StatusAvailable.svg")));
}

QIcon unavailable()
{
    loadBuiltInImages();
    return QIcon::fromTheme(QStringLiteral("user-offline"),
                            QIcon(QStringLiteral(":/widget/images/StatusUnavailable.svg")));
}

} // namespace StatusImage

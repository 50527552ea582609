#pragma once
// The sign-in status images: the icon theme's "available" and "offline" images, or built-in
// ones where the theme has none.

#include <QIcon>

namespace StatusImage {

QIcon available();
QIcon unavailable();

} // namespace StatusImage

#pragma once
// The user's configuration folder by the XDG base directory rules: $XDG_CONFIG_HOME when it is
// an absolute path, otherwise ~/.config (a relative one is ignored, as the rules require; it
// would put the user's settings wherever the program happens to be started).

#include <QString>

namespace ConfigHome {

QString path();

} // namespace ConfigHome

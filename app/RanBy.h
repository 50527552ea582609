#pragma once
// How this run of the tray application was started; decides the menu's check mark and whether
// the launcher is registered and the first-run alert shown.

enum class RanBy { Notification = 0, Launcher = 1, Widget = 2, User = 3 };

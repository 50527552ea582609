# A Debian package of the installed tree: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME "tovo")
set(CPACK_PACKAGE_VENDOR "T-O-VO")
set(CPACK_PACKAGE_CONTACT "T-O-VO developers <dev@tovo.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plug-ins, so the library scan cannot see them: the tray icons are SVG, and the
# programs find each other and the notification server on the session bus.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, dbus-user-session | dbus-x11")
set(CPACK_DEBIAN_PACKAGE_SECTION "net")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
include(CPack)

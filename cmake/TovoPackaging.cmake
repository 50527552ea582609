# The Debian package of the installed tree: `cpack --preset package` after a build of the
# "package" preset (scripts/package-test.sh builds, lints, installs and removes it).

# What every Debian package carries in its documentation folder: the copyright in the
# machine-readable format and the changelog, compressed as lintian wants it (-n: no name or time
# stamp, so the same sources give the same package).
set(TOVO_DEBIAN_DIR ${PROJECT_SOURCE_DIR}/resources/debian)
file(STRINGS ${TOVO_DEBIAN_DIR}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^tovo \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "resources/debian/changelog does not start with version ${PROJECT_VERSION}")
endif()
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/debian
    COMMAND ${CMAKE_COMMAND} -E copy ${TOVO_DEBIAN_DIR}/changelog ${PROJECT_BINARY_DIR}/debian
    COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/debian/changelog
    DEPENDS ${TOVO_DEBIAN_DIR}/changelog
    VERBATIM)
add_custom_target(tovo_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
install(FILES ${TOVO_DEBIAN_DIR}/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME "tovo")
set(CPACK_PACKAGE_VENDOR "T-O-VO")
set(CPACK_PACKAGE_CONTACT "T-O-VO developers <dev@tovo.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Lines of at most 80 characters, as Debian's control files want them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "T-O-VO watches the alarms of a T-O-VO monitoring account. The tray\n"
    "application tovo asks the service for the open alarms once a minute and\n"
    "raises a desktop notification for every new alarm. The Today panel\n"
    "tovo-today signs in to the account and shows its open alarms coloured by\n"
    "severity; tovo-launcher starts the tray application at login.")
set(CPACK_GENERATOR "DEB")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_PACKAGE_SECTION "net")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tovo.example/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plug-ins, so the library scan cannot see them: the tray icons are SVG, and the
# programs find each other and the notification server on the session bus.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, dbus-user-session | dbus-x11")
include(CPack)

# The product's identity in one place: application ids, URL scheme, display name, program names,
# version, the settings folder and the install paths. Written into Identity.h in the build tree
# (from cmake/Identity.h.in); the programs and the core link tovo_identity, and the layers below
# them are handed what they need of it.
set(TOVO_TRAY_ID "tovo.TOVO")
set(TOVO_TODAY_ID "tovo.TOVO.TOVOToday")
set(TOVO_LAUNCHER_ID "tovo.TOVO.TOVOLauncher")
set(TOVO_URL_SCHEME "tovo")
set(TOVO_DISPLAY_NAME "T-O-VO")
set(TOVO_TODAY_DISPLAY_NAME "T-O-VO Today")
set(TOVO_TRAY_PROGRAM "tovo")
set(TOVO_TODAY_PROGRAM "tovo-today")
set(TOVO_LAUNCHER_PROGRAM "tovo-launcher")
set(TOVO_SETTINGS_FOLDER "tovo")
# The translation catalogs: <catalog>_<language>.qm in this folder under the data folder.
set(TOVO_TRANSLATIONS_CATALOG "tovo")
set(TOVO_TRANSLATIONS_DATADIR "${CMAKE_INSTALL_DATADIR}/tovo/translations")
# Programs find each other relative to their own place first, so a .deb built for another prefix
# than the build's still works; the configured paths are the fall-back.
file(RELATIVE_PATH TOVO_LIBEXEC_TO_BINDIR ${CMAKE_INSTALL_FULL_LIBEXECDIR} ${CMAKE_INSTALL_FULL_BINDIR})
file(RELATIVE_PATH TOVO_BINDIR_TO_LIBEXECDIR ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR})
# The build tree keeps the same layout below its top (bin/../share/... from app/ or widget/), so
# the programs find their translations there as they do installed.
set(TOVO_FULL_TRANSLATIONS_DIR ${CMAKE_INSTALL_PREFIX}/${TOVO_TRANSLATIONS_DATADIR})
file(RELATIVE_PATH TOVO_BINDIR_TO_TRANSLATIONS ${CMAKE_INSTALL_FULL_BINDIR} ${TOVO_FULL_TRANSLATIONS_DIR})
file(RELATIVE_PATH TOVO_LIBEXECDIR_TO_TRANSLATIONS ${CMAKE_INSTALL_FULL_LIBEXECDIR} ${TOVO_FULL_TRANSLATIONS_DIR})

configure_file(${CMAKE_CURRENT_LIST_DIR}/Identity.h.in ${PROJECT_BINARY_DIR}/identity/Identity.h
               @ONLY)
add_library(tovo_identity INTERFACE)
target_include_directories(tovo_identity INTERFACE ${PROJECT_BINARY_DIR}/identity)
target_link_libraries(tovo_identity INTERFACE Qt6::Core)

# Install-time part of resources/CMakeLists.txt: writes the desktop entries and D-Bus service
# files with the programs' paths under the prefix being installed to.
function(tovo_absolute out dir)
    if(IS_ABSOLUTE "${dir}")
        set(${out} "${dir}" PARENT_SCOPE)
    else()
        set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
    endif()
endfunction()

# Entries and service files split Exec= at blanks and read quotes; a path with a blank is quoted.
# Characters that would need escaping inside quotes are refused rather than half-handled.
function(tovo_exec_path out path)
    if(path MATCHES "[\"`$\\]")
        message(FATAL_ERROR "Install paths with \", `, $ or \\ are not supported: ${path}")
    elseif(path MATCHES "[ \t']")
        set(${out} "\"${path}\"" PARENT_SCOPE)
    else()
        set(${out} "${path}" PARENT_SCOPE)
    endif()
endfunction()

tovo_absolute(bindir "${TOVO_BINDIR}")
tovo_absolute(libexecdir "${TOVO_LIBEXECDIR}")
tovo_absolute(datadir "${TOVO_DATADIR}")
tovo_exec_path(TOVO_EXEC_TOVO "${bindir}/${TOVO_TRAY_PROGRAM}")
tovo_exec_path(TOVO_EXEC_TODAY "${bindir}/${TOVO_TODAY_PROGRAM}")
tovo_exec_path(TOVO_EXEC_LAUNCHER "${libexecdir}/${TOVO_LAUNCHER_PROGRAM}")

function(tovo_install_configured template destination)
    get_filename_component(name "${template}" NAME_WLE)
    set(target "$ENV{DESTDIR}${destination}/${name}")
    message(STATUS "Installing: ${target}")
    # 0644, not the template's mode, which a checkout under umask 002 makes group-writable.
    configure_file("${TOVO_RESOURCES_DIR}/${template}" "${target}" @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${destination}/${name}")
    set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()

foreach(id ${TOVO_TRAY_ID} ${TOVO_TODAY_ID} ${TOVO_LAUNCHER_ID})
    tovo_install_configured(desktop/${id}.desktop.in "${datadir}/applications")
endforeach()
foreach(id ${TOVO_TRAY_ID} ${TOVO_TODAY_ID})
    tovo_install_configured(dbus/${id}.service.in "${datadir}/dbus-1/services")
endforeach()

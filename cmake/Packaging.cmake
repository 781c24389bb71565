# Installing Zintaro, two ways from one build.
#
# `cmake --install BUILD --prefix DIR` (what scripts/run.sh does) puts the
# program in DIR itself, so that its compositions live in DIR/files beside
# it, and the desktop entry and icons under DIR/share.
#
# The Debian package (`cmake --build BUILD --target package`, or
# scripts/package.sh) takes the component "package" alone, which a plain
# install leaves out: the program in /usr/bin, its desktop entry, AppStream
# data, icons, man page, copyright and changelog where Debian wants them.

set(ZINTARO_ID org.zintaro.Zintaro)
set(ZINTARO_RELEASE_DATE 2026-12-07)
set(ZINTARO_MAINTAINER "Zintaro developers <maintainers@zintaro.org>")
set(resources ${PROJECT_SOURCE_DIR}/resources)
set(generated ${PROJECT_BINARY_DIR}/package-files)
set(icon_sizes 48 128 256)

configure_file(${resources}/zintaro.1.in ${generated}/zintaro.1 @ONLY)
configure_file(${resources}/${ZINTARO_ID}.metainfo.xml.in ${generated}/${ZINTARO_ID}.metainfo.xml @ONLY)

# Debian keeps man pages and changelogs compressed, without a time stamp so
# that two builds give the same bytes.
add_custom_command(OUTPUT ${generated}/zintaro.1.gz ${generated}/changelog.gz
  COMMAND gzip -9n -c ${generated}/zintaro.1 > ${generated}/zintaro.1.gz
  COMMAND gzip -9n -c ${resources}/changelog > ${generated}/changelog.gz
  DEPENDS ${generated}/zintaro.1 ${resources}/changelog
  VERBATIM)
add_custom_target(zintaro_package_files ALL DEPENDS ${generated}/zintaro.1.gz ${generated}/changelog.gz)

# The user's own install.
install(TARGETS zintaro RUNTIME DESTINATION .)
# The modules beside the program, where it looks first.
foreach(module IN ITEMS zintaro-progress zintaro-listen zintaro-import)
  if(TARGET ${module})
    install(TARGETS ${module} LIBRARY DESTINATION .)
  endif()
endforeach()
install(FILES ${resources}/${ZINTARO_ID}.desktop DESTINATION share/applications)
foreach(size IN LISTS icon_sizes)
  install(FILES ${resources}/icons/${size}/${ZINTARO_ID}.png DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${resources}/icons/${ZINTARO_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)

# The package.
set(package COMPONENT package EXCLUDE_FROM_ALL)
install(TARGETS zintaro RUNTIME DESTINATION bin ${package})
# The progress page's, the microphone's and the importers' modules, which the program looks for in
# ../lib/zintaro/modules when it is not beside it: a folder below the
# private lib/zintaro, so that no ldconfig runs for a module no one links.
# Debian wants shared objects not executable.
foreach(module IN ITEMS zintaro-progress zintaro-listen zintaro-import)
  if(TARGET ${module})
    install(TARGETS ${module} LIBRARY DESTINATION lib/zintaro/modules
      PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ ${package})
  endif()
endforeach()
install(FILES ${resources}/${ZINTARO_ID}.desktop DESTINATION share/applications ${package})
install(FILES ${generated}/${ZINTARO_ID}.metainfo.xml DESTINATION share/metainfo ${package})
foreach(size IN LISTS icon_sizes)
  install(FILES ${resources}/icons/${size}/${ZINTARO_ID}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps ${package})
endforeach()
install(FILES ${resources}/icons/${ZINTARO_ID}.svg DESTINATION share/icons/hicolor/scalable/apps ${package})
install(FILES ${generated}/zintaro.1.gz DESTINATION share/man/man1 ${package})
install(FILES ${resources}/copyright ${generated}/changelog.gz DESTINATION share/doc/zintaro ${package})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zintaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zintaro developers")
set(CPACK_PACKAGE_CONTACT "${ZINTARO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "write and read melodies on a staff with solfège names")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL package)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME zintaro)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZINTARO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://zintaro.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program opens at run time rather than links: the General MIDI
# SoundFont, the Italian voice's data and the window's font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fluid-soundfont-gm, espeak-ng-data, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis comes from the summary above; this is the long text under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Zintaro is a desktop program for music students and their teachers. A
36-key piano, played from the computer keyboard or a MIDI keyboard, writes
notes on a staff with Italian solfège names (Do, Re, Mi, ...). Zintaro
plays compositions back with its built-in synthesizer, speaks note names,
trains sight-reading and exports MIDI, MusicXML and PDF.")
include(CPack)

# Installing and packaging. `cmake --install` lays out the install folder, the
# links in bin/, the menu entry, icons, AppStream data, manual pages and the
# package's documents under CMAKE_INSTALL_PREFIX (and DESTDIR); CPack builds the
# Debian package from the same rules (scripts/package.sh).

include_guard(GLOBAL)
include(GNUInstallDirs)

# Where the project lives and who answers for it: the package's control fields,
# copyright, changelog, AppStream data and manual pages all take them from here.
set(ZEKO_HOMEPAGE "https://zeko-download.example.org/")
set(ZEKO_MAINTAINER "ZEKO Download team <zeko-download@example.org>")
if(NOT ZEKO_MAINTAINER MATCHES "^([^<]+[^< ]) *<([^>]+)>$")
  message(FATAL_ERROR "ZEKO_MAINTAINER must read \"Name <address>\": ${ZEKO_MAINTAINER}")
endif()
set(ZEKO_MAINTAINER_NAME "${CMAKE_MATCH_1}")
set(ZEKO_MAINTAINER_EMAIL "${CMAKE_MATCH_2}")
set(ZEKO_SCREENSHOTS_URL "${ZEKO_HOMEPAGE}screenshots/")

# The install folder: build/app as it stands, except the registry. The programs
# look for the databases, Imagens/ and Help/ beside themselves
# (QCoreApplication::applicationDirPath(), which resolves the links in bin/), so
# programs and data share one folder. Debian Policy 9.1.1 lets a package keep
# such a mixture in a subdirectory of /usr/lib named after it; /usr/share is for
# architecture-independent files alone, /usr/libexec for programs alone, the
# multiarch libdir (CMAKE_INSTALL_LIBDIR, lib/x86_64-linux-gnu) for libraries,
# and /opt is not for a distribution's packages.
set(ZEKO_INSTALL_APPDIR "lib/zeko-download" CACHE STRING
  "Folder of the programs and their data, relative to CMAKE_INSTALL_PREFIX (or absolute)")
if(IS_ABSOLUTE "${ZEKO_INSTALL_APPDIR}")
  set(ZEKO_INSTALL_FULL_APPDIR "${ZEKO_INSTALL_APPDIR}")
else()
  set(ZEKO_INSTALL_FULL_APPDIR "${CMAKE_INSTALL_PREFIX}/${ZEKO_INSTALL_APPDIR}")
endif()
set(ZEKO_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/zeko-download")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
find_program(ZEKO_GZIP gzip REQUIRED)
set(package_dir ${CMAKE_BINARY_DIR}/package)
file(MAKE_DIRECTORY ${package_dir}/bin ${package_dir}/man)

# The release: the changelog's first entry must be this version, and its date is
# the AppStream release's and the manual pages'.
set(changelog_source ${CMAKE_SOURCE_DIR}/data/package/changelog.in)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog_source})
file(READ ${changelog_source} changelog)
if(NOT changelog MATCHES "^zeko-download \\(([^)]+)\\)")
  message(FATAL_ERROR "${changelog_source}: the first line names no version of zeko-download")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "${changelog_source}: the latest entry is ${CMAKE_MATCH_1}, the project "
                      "${PROJECT_VERSION}; add an entry for this version")
endif()
if(NOT changelog MATCHES "\n -- [^\n]+  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "${changelog_source}: the latest entry's trailer has no date")
endif()
set(day ${CMAKE_MATCH_1})
set(year ${CMAKE_MATCH_3})
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months "${CMAKE_MATCH_2}" month)
if(month EQUAL -1)
  message(FATAL_ERROR "${changelog_source}: no month is called ${CMAKE_MATCH_2}")
endif()
math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
string(LENGTH "${month}" month_digits)
if(month_digits EQUAL 1)
  set(month "0${month}")
endif()
set(ZEKO_RELEASE_DATE "${year}-${month}-${day}")

# The programs and their data.
install(TARGETS ZEKODownload zeko-books zeko-help-reader RUNTIME DESTINATION ${ZEKO_INSTALL_APPDIR})
# A stripped install (CPack's) also drops the compilers' notes, as dh_strip does.
if(IS_ABSOLUTE "${ZEKO_INSTALL_APPDIR}")
  set(installed_appdir "\$ENV{DESTDIR}${ZEKO_INSTALL_APPDIR}")
else()
  set(installed_appdir "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ZEKO_INSTALL_APPDIR}")
endif()
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program ZEKODownload zeko-books zeko-help-reader)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                              \"${installed_appdir}/\${program}\" RESULT_VARIABLE rc)
      if(NOT rc EQUAL 0)
        message(FATAL_ERROR \"cannot strip \${program}\")
      endif()
    endforeach()
  endif()")
# Wine runs the launcher through its loader: it needs no execute bit.
install(FILES ${ZEKO_APP_DIR}/LoadZEKOV.EXE ${ZEKO_CATALOGUE_DB} ${ZEKO_REGISTRY_TEMPLATE}
        DESTINATION ${ZEKO_INSTALL_APPDIR})
install(DIRECTORY ${ZEKO_APP_DIR}/Imagens ${ZEKO_APP_DIR}/Help DESTINATION ${ZEKO_INSTALL_APPDIR})
install(DIRECTORY ${ZEKO_APP_DIR}/Exemplos DESTINATION ${ZEKO_INSTALL_APPDIR} OPTIONAL)

# zeko-download and zeko-books on the PATH: relative links, so the tree works
# under any DESTDIR and prefix.
file(RELATIVE_PATH bin_to_app "${CMAKE_INSTALL_FULL_BINDIR}" "${ZEKO_INSTALL_FULL_APPDIR}")
file(CREATE_LINK "${bin_to_app}/ZEKODownload" ${package_dir}/bin/zeko-download SYMBOLIC)
file(CREATE_LINK "${bin_to_app}/zeko-books" ${package_dir}/bin/zeko-books SYMBOLIC)
install(FILES ${package_dir}/bin/zeko-download ${package_dir}/bin/zeko-books DESTINATION ${CMAKE_INSTALL_BINDIR})

# The menu entry, icons and AppStream data.
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/org.example.zeko_download.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(DIRECTORY ${ZEKO_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons)
configure_file(${CMAKE_SOURCE_DIR}/data/desktop/org.example.zeko_download.metainfo.xml.in
               ${package_dir}/org.example.zeko_download.metainfo.xml @ONLY)
install(FILES ${package_dir}/org.example.zeko_download.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

# Manual pages and the changelog, compressed as Debian wants them: gzip -9, with
# no name or time stamp in the header, so that a rebuild gives the same bytes.
configure_file(${changelog_source} ${package_dir}/changelog @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/data/package/copyright.in ${package_dir}/copyright @ONLY)
set(compressed ${package_dir}/changelog.gz)
add_custom_command(OUTPUT ${package_dir}/changelog.gz
  COMMAND ${ZEKO_GZIP} -9nkf changelog
  WORKING_DIRECTORY ${package_dir}
  DEPENDS ${package_dir}/changelog
  VERBATIM)
foreach(page zeko-books zeko-download)
  configure_file(${CMAKE_SOURCE_DIR}/docs/man/${page}.1.in ${package_dir}/man/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${package_dir}/man/${page}.1.gz
    COMMAND ${ZEKO_GZIP} -9nkf ${page}.1
    WORKING_DIRECTORY ${package_dir}/man
    DEPENDS ${package_dir}/man/${page}.1
    VERBATIM)
  list(APPEND compressed ${package_dir}/man/${page}.1.gz)
  install(FILES ${package_dir}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(zeko_package_docs ALL DEPENDS ${compressed})
install(FILES ${package_dir}/copyright ${package_dir}/changelog.gz DESTINATION ${ZEKO_DOC_DIR})

# The Debian package. The xcb platform plugin and the JPEG reader the skin needs
# come with libqt6gui6 on Debian 12, which the programs link, so the library
# dependencies dpkg-shlibdeps finds cover them; the fonts and Wine are added.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zeko-download)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${ZEKO_MAINTAINER_NAME}")
set(CPACK_PACKAGE_CONTACT "${ZEKO_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${ZEKO_HOMEPAGE}")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "book manager for a multimedia language course run by Wine")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"ZEKO Download installs, opens and removes the books of a multimedia
language course whose Windows software runs under Wine. Books arrive as
ZIP files: each one is extracted into a folder of its own, recorded for
the user and given a drive letter, so that the course finds the book at
the root of a drive. Every text is in Portuguese, English or Spanish, and
the zeko-books command does the same from a terminal or a script.

The course, and the launcher LoadZEKOV.EXE that starts it, are 32-bit
Windows programs: they need Wine's 32-bit part, the recommended wine32.
On amd64 it comes from the i386 architecture (dpkg --add-architecture
i386, then apt install wine32:i386). Without it the manager still
installs and removes books, and says why a course cannot start.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# qt6-translations-l10n: Qt's own texts (the file dialog, standard buttons) in the user's language.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "wine, wine64, fonts-liberation2, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine32")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)

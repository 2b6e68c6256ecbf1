# SPDX-FileCopyrightText: 2026 The Pictomat developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Installing on a Linux desktop, and the Debian package made from that installation:
#   cmake --build build && (cd build && cpack -G DEB)
# gives pictomat_<version>-1_<arch>.deb with its dependencies found by dpkg-shlibdeps, programs and
# plug-ins without debug symbols, and those in pictomat-<version>-1_<arch>-dbgsym.ddeb.

install(FILES ${CMAKE_SOURCE_DIR}/packaging/pictomat.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/resources/example.pictomat.Pictomat.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  # Manual pages are installed compressed, as man and Debian expect; this runs after every
  # subdirectory's install rules, so it takes the command line's page as well.
  install(CODE "
    file(GLOB pages \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1/pictomat*.1\")
    foreach(page IN LISTS pages)
      execute_process(COMMAND gzip -9nf \${page})
    endforeach()")
  # Debian's documentation folder: the licence in its machine-readable form and the changelog,
  # compressed without a time stamp so that two builds give the same bytes.
  set(doc ${CMAKE_INSTALL_DATADIR}/doc/pictomat)
  set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
  add_custom_command(OUTPUT ${changelog}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${changelog}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog VERBATIM)
  add_custom_target(pictomat_changelog ALL DEPENDS ${changelog})
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${changelog} DESTINATION ${doc})
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
    RENAME pictomat)
endif()

set(CPACK_PACKAGE_NAME pictomat)
set(CPACK_PACKAGE_VENDOR "The Pictomat developers")
set(CPACK_PACKAGE_CONTACT "The Pictomat developers <developers@pictomat.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch image converter with watermarks and adjustments")
set(CPACK_PACKAGE_DESCRIPTION "Pictomat converts many photos at once: drop files and folders into\n\
an ordered list, pick AVIF, GIF, HEIC, HEIF, JPEG, JPEG XL, PNG, TIFF or WEBP\n\
(or one combined PDF), optionally stamp text, picture and QR code watermarks,\n\
scale and adjust the colours, watch the live preview, and convert. Colour\n\
profiles and EXIF, XMP and IPTC data are kept. Existing files are never\n\
replaced without a confirmation.\n\
.\n\
The package holds the window (pictomat) and the command line converter\n\
(pictomat-cli), with image plug-ins for AVIF, HEIC/HEIF and JPEG XL.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
# CPackDeb splits the debug symbols out (into the -dbgsym package) and strips the programs itself.
set(CPACK_STRIP_FILES OFF)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://pictomat.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds these at run time, so dpkg-shlibdeps cannot: the WEBP and TIFF readers and writers.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/packaging/FixDebugPackage.cmake)

include(CPack)

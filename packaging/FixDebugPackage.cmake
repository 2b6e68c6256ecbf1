# SPDX-FileCopyrightText: 2026 The Pictomat developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs after CPack has made the packages. CMake 3.25's debug-symbol package lists its files in
# md5sums under the build folder's absolute paths (lintian: md5sums-lists-nonexistent-file), has
# no copyright or changelog, and ships its .debug files executable. It is repacked as dh_strip
# makes one: relative md5sums, files 0644, and its documentation folder a link to the main
# package's, on which it depends.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.ddeb$")
    continue()
  endif()
  get_filename_component(folder "${package}" DIRECTORY)
  set(tree "${folder}/_dbgsym_repack")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${package}" "${tree}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot unpack ${package}")
  endif()
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${tree}" "${tree}/usr/*")
  list(SORT files)
  set(sums "")
  foreach(file IN LISTS files)
    file(CHMOD "${tree}/${file}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    file(MD5 "${tree}/${file}" sum)
    string(APPEND sums "${sum}  ${file}\n")
  endforeach()
  file(WRITE "${tree}/DEBIAN/md5sums" "${sums}")
  file(MAKE_DIRECTORY "${tree}/usr/share/doc")
  file(CREATE_LINK "${CPACK_PACKAGE_NAME}" "${tree}/usr/share/doc/${CPACK_PACKAGE_NAME}-dbgsym" SYMBOLIC)
  execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip --build "${tree}" "${package}"
    OUTPUT_QUIET RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot repack ${package}")
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()

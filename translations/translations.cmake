# The window in the user's language. translations/pictomat_<language>.ts are compiled into the
# program as ":/i18n/pictomat_<language>.qm". Every build first brings them and the template for new
# languages, translations/pictomat.ts, up to date with the sources; a file changes only when a text
# of the program did, and a new text waits there as unfinished for its translator.
find_package(Qt6 6.4 QUIET COMPONENTS LinguistTools)
if(NOT Qt6LinguistTools_FOUND)
  message(WARNING "Qt's translation tools (qt6-tools-dev, qt6-l10n-tools) are missing: "
    "the program is built with its English texts only")
  return()
endif()

set(PICTOMAT_TRANSLATIONS_DIR ${CMAKE_SOURCE_DIR}/translations)
set(PICTOMAT_CATALOGUES pictomat_de.ts)

# What a user reads: the window, its dialogs, and the failure reasons of the engine and of our
# image plug-ins. The command line answers in English.
set(translated_sources)
foreach(folder app common convert filelist form imaging metadata settings plugins/imageformats)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.h ${CMAKE_SOURCE_DIR}/${folder}/*.ui)
  list(APPEND translated_sources ${found})
endforeach()
# Without line numbers, and without texts the program no longer has, so that a catalogue changes
# only with the texts.
set(lupdate_options -locations none -no-obsolete -source-language en)

set(catalogue_paths)
foreach(catalogue ${PICTOMAT_CATALOGUES})
  list(APPEND catalogue_paths ${PICTOMAT_TRANSLATIONS_DIR}/${catalogue})
endforeach()
qt_add_translations(pictomat_ui
  TS_FILES ${catalogue_paths}
  SOURCES ${translated_sources}
  INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}
  LUPDATE_OPTIONS ${lupdate_options})

# lupdate always rewrites the files it is given: it works on copies in the build tree, and only a
# copy whose content changed goes back into the sources.
set(work ${CMAKE_BINARY_DIR}/translations)
file(MAKE_DIRECTORY ${work})
string(REPLACE ";" "\n" source_lines "${translated_sources}")
file(WRITE ${work}/sources.lst "${source_lines}\n")
set(copy_in)
set(copy_out)
set(work_catalogues)
foreach(catalogue pictomat.ts ${PICTOMAT_CATALOGUES})
  list(APPEND copy_in COMMAND ${CMAKE_COMMAND} -E copy ${PICTOMAT_TRANSLATIONS_DIR}/${catalogue} ${work}/${catalogue})
  list(APPEND copy_out COMMAND ${CMAKE_COMMAND} -E copy_if_different ${work}/${catalogue}
    ${PICTOMAT_TRANSLATIONS_DIR}/${catalogue})
  list(APPEND work_catalogues ${work}/${catalogue})
endforeach()
add_custom_target(pictomat_translations_update ALL
  ${copy_in}
  COMMAND Qt6::lupdate -silent ${lupdate_options} -I ${CMAKE_SOURCE_DIR} @${work}/sources.lst
    -ts ${work_catalogues}
  ${copy_out}
  COMMENT "Bringing the translation catalogues up to date with the sources"
  VERBATIM)
add_dependencies(pictomat_ui_lrelease pictomat_translations_update)

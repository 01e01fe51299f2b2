# cmake -DNAME=ktavro -DLANG=zh_CN -DSOURCE_DIR=<project> [-DMODE=update]
#       [-DLUPDATE=...] [-DTSCHECK=...] [-DWORK=<folder>] [-DSTAMP=<file>]
#       [-DTS_DIR=<folder of the .ts>] [-DDIRS=<source folders under SOURCE_DIR>] -P check-ts.cmake
#
# check (default): runs lupdate over the sources into a copy of translations/NAME_LANG.ts and
# fails, naming each text, when a source text is missing from the file or a translation is
# unfinished, empty or broken. update: refreshes the committed file itself.
cmake_minimum_required(VERSION 3.16)
include(${CMAKE_CURRENT_LIST_DIR}/sources.cmake)
foreach(var NAME LANG SOURCE_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check-ts.cmake: ${var} is not set")
  endif()
endforeach()
if(NOT DEFINED TS_DIR)
  set(TS_DIR ${SOURCE_DIR}/translations)
endif()
if(NOT LUPDATE)
  find_program(LUPDATE NAMES lupdate lupdate-qt5 PATHS /usr/lib/qt5/bin REQUIRED)
endif()
set(ts ${TS_DIR}/${NAME}_${LANG}.ts)
set(dirs)
if(NOT DEFINED DIRS)
  set(DIRS ${KTAVRO_TS_${NAME}_DIRS})
endif()
foreach(dir IN LISTS DIRS)
  list(APPEND dirs ${SOURCE_DIR}/${dir})
endforeach()
if(NOT dirs)
  message(FATAL_ERROR "check-ts.cmake: no source folders for '${NAME}'")
endif()

if(MODE STREQUAL "update")
  set(target ${ts})
else()
  if(NOT TSCHECK OR NOT WORK)
    message(FATAL_ERROR "check-ts.cmake: a check needs TSCHECK and WORK")
  endif()
  set(target ${WORK}/${NAME}_${LANG}.ts)
  file(MAKE_DIRECTORY ${WORK})
  if(EXISTS ${ts})
    configure_file(${ts} ${target} COPYONLY)
  else()
    file(REMOVE ${target})
  endif()
endif()

execute_process(
  COMMAND ${LUPDATE} -silent -no-obsolete -locations none -extensions cpp,h -target-language ${LANG}
          ${dirs} -ts ${target}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed for ${NAME}_${LANG}.ts:\n${out}${err}")
endif()
if(MODE STREQUAL "update")
  message(STATUS "Updated ${ts}")
  return()
endif()

execute_process(COMMAND ${TSCHECK} ${target} RESULT_VARIABLE status ERROR_VARIABLE problems)
if(NOT status EQUAL 0)
  string(REPLACE "${target}: " "" problems "${problems}")
  message(FATAL_ERROR
    "Texts of ${NAME} without a finished ${LANG} translation:\n${problems}"
    "Run scripts/update-translations, translate these in translations/${NAME}_${LANG}.ts "
    "and build again.")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()

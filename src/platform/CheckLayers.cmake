# Checks that the platform folders include one another in one direction only, as the table in
# docs/architecture.md says. Run as a script: cmake -DPLATFORM_DIR=<src/platform> -P CheckLayers.cmake
# Prints every include that points upwards or sideways and fails if there is one.
cmake_minimum_required(VERSION 3.25)

# Each folder and the folders it may include besides itself, lowest first.
set(allowed_runtime "")
set(allowed_files runtime)
set(allowed_graphics runtime)
set(allowed_window runtime graphics)
set(allowed_forms runtime files graphics window)
set(allowed_controls runtime files graphics window forms)
set(folders runtime files graphics window forms controls)

if(NOT PLATFORM_DIR)
  message(FATAL_ERROR "PLATFORM_DIR is not set")
endif()

set(violations "")
file(GLOB loose_units ${PLATFORM_DIR}/*.h ${PLATFORM_DIR}/*.cpp)
foreach(unit IN LISTS loose_units)
  list(JOIN folders ", " names)
  list(APPEND violations "${unit}: belongs in one of the folders ${names}")
endforeach()

foreach(folder IN LISTS folders)
  file(GLOB units ${PLATFORM_DIR}/${folder}/*.h ${PLATFORM_DIR}/${folder}/*.cpp)
  foreach(unit IN LISTS units)
    file(STRINGS ${unit} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"platform/")
    foreach(line IN LISTS lines)
      string(REGEX MATCH "\"platform/([^/\"]+)/" ignored "${line}")
      set(target "${CMAKE_MATCH_1}")
      if(target STREQUAL folder)
        continue()
      endif()
      list(FIND allowed_${folder} "${target}" index)
      if(index EQUAL -1)
        string(STRIP "${line}" line)
        list(APPEND violations "${unit}: ${folder}/ may not ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

# Other subfolders are not in the table, and must not appear unchecked.
file(GLOB entries LIST_DIRECTORIES true ${PLATFORM_DIR}/*)
foreach(entry IN LISTS entries)
  get_filename_component(name ${entry} NAME)
  if(IS_DIRECTORY ${entry} AND NOT name IN_LIST folders)
    list(APPEND violations "${entry}: a folder missing from the table in CheckLayers.cmake")
  endif()
endforeach()

if(violations)
  foreach(violation IN LISTS violations)
    message(NOTICE "${violation}")
  endforeach()
  message(FATAL_ERROR "Platform includes against the folder order (see above)")
endif()

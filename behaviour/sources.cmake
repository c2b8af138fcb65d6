# The behaviour kinds' sources and the embedded icons, for behaviour/CMakeLists.txt.
# The icons are the kinds' of the catalogue: "Bmp" + each kind's name +
# "16x16", read from its kind lines (EVENT(ID, number, Name, ... and
# ACTION(...), one to a line).
set(LURVIK_KIND_CATALOGUE "${CMAKE_CURRENT_LIST_DIR}/../engine/lvk_kinds.h")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${LURVIK_KIND_CATALOGUE}")
# Only the lines' heads: the rest may hold semicolons and ends in the
# macro's backslash, which CMake's lists do not take.
file(READ "${LURVIK_KIND_CATALOGUE}" LURVIK_KIND_TEXT)
string(REGEX MATCHALL "\n  (EVENT|ACTION)\\([A-Z_]+, [0-9]+, [A-Za-z]+," LURVIK_KIND_LINES "${LURVIK_KIND_TEXT}")
set(LURVIK_ICON_NAMES "")
foreach(Line IN LISTS LURVIK_KIND_LINES)
  if(NOT Line MATCHES "^\n  (EVENT|ACTION)\\([A-Z_]+, [0-9]+, ([A-Za-z]+),")
    message(FATAL_ERROR "engine/lvk_kinds.h: a kind line the build cannot read: ${Line}")
  endif()
  list(APPEND LURVIK_ICON_NAMES "Bmp${CMAKE_MATCH_2}16x16")
endforeach()
list(LENGTH LURVIK_ICON_NAMES LURVIK_ICON_COUNT)
if(LURVIK_ICON_COUNT LESS 2)
  message(FATAL_ERROR "engine/lvk_kinds.h: no kind lines found")
endif()
set(LURVIK_ICON_FILES ${LURVIK_ICON_NAMES})
list(TRANSFORM LURVIK_ICON_FILES PREPEND "${CMAKE_CURRENT_LIST_DIR}/../resources/icons/")
list(TRANSFORM LURVIK_ICON_FILES APPEND ".bmp")
list(JOIN LURVIK_ICON_FILES "|" LURVIK_ICON_ARG)

set(LURVIK_RESOURCE_SOURCE "${CMAKE_CURRENT_BINARY_DIR}/UResourceData.cpp")
add_custom_command(
  OUTPUT "${LURVIK_RESOURCE_SOURCE}"
  COMMAND "${CMAKE_COMMAND}" "-DOUTPUT=${LURVIK_RESOURCE_SOURCE}" "-DINPUTS=${LURVIK_ICON_ARG}"
          -P "${CMAKE_CURRENT_LIST_DIR}/EmbedResources.cmake"
  DEPENDS ${LURVIK_ICON_FILES} "${CMAKE_CURRENT_LIST_DIR}/EmbedResources.cmake"
  COMMENT "Embedding the kinds' icons"
  VERBATIM
)

set(LURVIK_BEHAVIOUR_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/UBehaviour.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UKindCatalogue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UResources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UMaskNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/REventCreate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/REventDestroy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/REventCollision.cpp
  ${CMAKE_CURRENT_LIST_DIR}/REventKey.cpp
  ${CMAKE_CURRENT_LIST_DIR}/REventTouch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/REventOutside.cpp
  ${CMAKE_CURRENT_LIST_DIR}/REventKeyHeld.cpp
  ${CMAKE_CURRENT_LIST_DIR}/REventTimer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/REventAnimationEnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UAction.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UValueAction.cpp
  ${LURVIK_RESOURCE_SOURCE}
)

# The behaviour kinds' sources and the embedded icons, for behaviour/CMakeLists.txt.
set(LURVIK_ICON_NAMES
  BmpOnCreate16x16
  BmpOnDestroy16x16
  BmpOnKey16x16
  BmpOnTouch16x16
  BmpOnCollision16x16
  BmpOnOutside16x16
  BmpSetSpeedSize16x16
  BmpSetSpeedDir16x16
  BmpDestroy16x16
  BmpNextLevel16x16
  BmpOnKeyHeld16x16
  BmpOnTimer16x16
  BmpSetVariable16x16
  BmpShowText16x16
  BmpSpawn16x16
  BmpGoToLevel16x16
  BmpRestartGame16x16
  BmpBounce16x16
  BmpSetTile16x16
  BmpMoveToward16x16
  BmpIfVariable16x16
  BmpIfCount16x16
  BmpIfChance16x16
  BmpIfKeyHeld16x16
  BmpPlaySound16x16
  BmpClearText16x16
  BmpJumpTo16x16
  BmpJumpToStart16x16
  BmpOtherwise16x16
  BmpCameraFollow16x16
  BmpMoveCamera16x16
  BmpShakeCamera16x16
  BmpOnAnimationEnd16x16
  BmpSetAnimation16x16
  BmpMirror16x16
)
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

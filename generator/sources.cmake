# The C source generator and its build log, and the play session, for generator/CMakeLists.txt.
set(LURVIK_GENERATOR_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/UBuildLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/USourceWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UGameTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UPlaySession.cpp
  ${CMAKE_CURRENT_LIST_DIR}/USaveFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UGenerator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UBackEnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UToolChainCopy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UToolChain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UWebExport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/USongRender.cpp
)

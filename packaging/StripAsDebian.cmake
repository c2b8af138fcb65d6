# Run by CPack on the staged tree before it packs it: the program is stripped
# as Debian's own packages are (dh_strip), without the compiler's comment and
# note sections that plain stripping leaves. The kit's host tools are
# stripped so by scripts/dskit.sh; its ARM libraries keep their symbols for
# the games linked with them, as Debian's newlib does.
find_program(LVK_STRIP strip REQUIRED)
file(GLOB_RECURSE lvk_programs "${CPACK_TEMPORARY_DIRECTORY}/*/bin/lurvik-studio")
foreach(program IN LISTS lvk_programs)
  execute_process(COMMAND ${LVK_STRIP} --remove-section=.comment --remove-section=.note ${program}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
if(NOT lvk_programs)
  message(FATAL_ERROR "StripAsDebian: no bin/lurvik-studio below ${CPACK_TEMPORARY_DIRECTORY}")
endif()

# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on the staged files, before the package is made: strips the
# programs as Debian's dh_strip does, dropping the debugging symbols and the
# .comment and .note sections (the compilers' version strings), which a
# package has no use for and lintian reports.
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*/bin/*")
if(NOT programs)
  message(FATAL_ERROR "no program staged under ${CPACK_TEMPORARY_DIRECTORY}")
endif()
foreach(program ${programs})
  execute_process(COMMAND "${CPACK_LUMIDOT_STRIP}" --remove-section=.comment --remove-section=.note
                          "${program}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not strip ${program}")
  endif()
endforeach()
# The video module keeps only the symbols its loader looks up, as dh_strip
# leaves a shared object.
file(GLOB_RECURSE modules LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*/lib/*/lumidot/*.so")
foreach(module ${modules})
  execute_process(COMMAND "${CPACK_LUMIDOT_STRIP}" --strip-unneeded --remove-section=.comment
                          --remove-section=.note "${module}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not strip ${module}")
  endif()
endforeach()

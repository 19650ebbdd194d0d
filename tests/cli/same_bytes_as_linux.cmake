# Converts generated backups in each encoding with the Windows velmora-convert under Wine
# and with the Linux one, and fails unless both address files are the same bytes.
#   cmake -DWINE=... -DWINDOWS_PROGRAM=... -DLINUX_PROGRAM=... -DGENERATOR=... -DWORK=... -P
foreach(variable WINE WINDOWS_PROGRAM LINUX_PROGRAM GENERATOR WORK)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()
if(NOT EXISTS "${LINUX_PROGRAM}")
  message(FATAL_ERROR "the Linux ${LINUX_PROGRAM} is not built; make test builds it")
endif()
file(MAKE_DIRECTORY "${WORK}")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${result}): ${errors}")
  endif()
endfunction()

foreach(encoding utf-8 utf-16 windows-1252)
  set(backup "${WORK}/${encoding}.lmc")
  run(python3 "${GENERATOR}" --devices 2 --backups 3 --contacts 40 --encoding ${encoding}
      -o "${backup}")
  # Wine's drive Z: is the Linux root.
  run("${WINE}" "${WINDOWS_PROGRAM}" --force -o "Z:${WORK}/${encoding}.windows.adr" "Z:${backup}")
  run("${LINUX_PROGRAM}" --force -o "${WORK}/${encoding}.linux.adr" "${backup}")
  file(SHA256 "${WORK}/${encoding}.windows.adr" windows)
  file(SHA256 "${WORK}/${encoding}.linux.adr" linux)
  if(NOT windows STREQUAL linux)
    message(FATAL_ERROR "${encoding}: the address files differ (${WORK})")
  endif()
  file(SIZE "${WORK}/${encoding}.linux.adr" size)
  message(STATUS "${encoding}: ${size} bytes, the same on both")
endforeach()

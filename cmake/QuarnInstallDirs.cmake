# Where `cmake --install` puts the game. Distributions move the game and its data (Debian:
# -DQUARN_INSTALL_GAMESBINDIR=games -DQUARN_INSTALL_GAMESDATADIR=share/games/quarn).
include(GNUInstallDirs)
set(QUARN_INSTALL_GAMESBINDIR "${CMAKE_INSTALL_BINDIR}" CACHE STRING
    "Folder of the quarn program, relative to the install prefix")
set(QUARN_INSTALL_GAMESDATADIR "${CMAKE_INSTALL_DATADIR}/quarn" CACHE STRING
    "Folder of Data.acv, relative to the install prefix")

# The game finds its data from its own binary's folder, so the relation between the two
# folders is built in rather than the prefix: a moved or relocated install keeps working.
foreach(dir GAMESBINDIR GAMESDATADIR)
  if(IS_ABSOLUTE "${QUARN_INSTALL_${dir}}")
    set(quarn_full_${dir} "${QUARN_INSTALL_${dir}}")
  else()
    set(quarn_full_${dir} "${CMAKE_INSTALL_PREFIX}/${QUARN_INSTALL_${dir}}")
  endif()
endforeach()
file(RELATIVE_PATH QUARN_DATA_FROM_BINARY "${quarn_full_GAMESBINDIR}" "${quarn_full_GAMESDATADIR}")

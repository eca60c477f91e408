# Runs at install time: puts the desktop entry (pointing at the installed program),
# the menu icons and the AppStream metainfo under the XDG data folder.
# QUILLON_XDG_DATA_DIR in the environment overrides the configured folder (the Debian
# package sets /usr/share); DESTDIR is honoured. Writes nothing
# outside the destination (no staging file in the build folder, which two installs
# running at once would share).
set(xdg_dir "${QUILLON_XDG_DATA_DIR}")
if(NOT "$ENV{QUILLON_XDG_DATA_DIR}" STREQUAL "")
  set(xdg_dir "$ENV{QUILLON_XDG_DATA_DIR}")
endif()
if(NOT IS_ABSOLUTE "${xdg_dir}")
  set(xdg_dir "${CMAKE_INSTALL_PREFIX}/${xdg_dir}")
endif()

# Exec= is a command line: the program's path is quoted so that a folder with
# blanks works, with the escapes a quoted argument of a desktop entry needs.
set(program "${CMAKE_INSTALL_PREFIX}/quillon")
string(REPLACE "\\" "\\\\\\\\" program "${program}")
foreach(reserved "\"" "`" "$")
  string(REPLACE "${reserved}" "\\\\${reserved}" program "${program}")
endforeach()

file(READ "${QUILLON_DESKTOP_ENTRY}" entry)
string(REPLACE "\nExec=/opt/QUILLON/quillon %f\n" "\nExec=\"${program}\" %f\n" entry "${entry}")
string(REPLACE "/opt/QUILLON" "${CMAKE_INSTALL_PREFIX}" entry "${entry}")

set(entry_file "${xdg_dir}/applications/quillon.desktop")
message(STATUS "Installing: $ENV{DESTDIR}${entry_file}")
file(WRITE "$ENV{DESTDIR}${entry_file}" "${entry}")
file(CHMOD "$ENV{DESTDIR}${entry_file}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${entry_file}")

# The icon in the theme's sizes, and the software centre's description.
file(INSTALL DESTINATION "${xdg_dir}/icons" TYPE DIRECTORY FILES "${QUILLON_HICOLOR_DIR}")
file(INSTALL DESTINATION "${xdg_dir}/metainfo" TYPE FILE FILES "${QUILLON_METAINFO}")

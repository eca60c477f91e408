# Runs at install time, after quillon-record and its manual page are in the program
# folder: links to them beside the data folder that receives the desktop entry
# (bin/quillon-record and share/man/man1/quillon-record.1 under /usr/local by default),
# so that `quillon-record` and `man quillon-record` work without changing PATH or
# MANPATH. QUILLON_XDG_DATA_DIR in the environment overrides the configured folder and
# DESTDIR is honoured, as for the desktop entry. A file of that name that is not a link
# is left alone.
set(xdg_dir "${QUILLON_XDG_DATA_DIR}")
if(NOT "$ENV{QUILLON_XDG_DATA_DIR}" STREQUAL "")
  set(xdg_dir "$ENV{QUILLON_XDG_DATA_DIR}")
endif()
if(NOT IS_ABSOLUTE "${xdg_dir}")
  set(xdg_dir "${CMAKE_INSTALL_PREFIX}/${xdg_dir}")
endif()
get_filename_component(bin_dir "${xdg_dir}/../bin" ABSOLUTE)

function(quillon_link target link)
  set(where "$ENV{DESTDIR}${link}")
  if(EXISTS "${where}" AND NOT IS_SYMLINK "${where}")
    message(WARNING "Not replacing ${where}: it is not a link")
    return()
  endif()
  get_filename_component(folder "${where}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(REMOVE "${where}")
  message(STATUS "Installing: ${where} -> ${target}")
  file(CREATE_LINK "${target}" "${where}" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${link}")
  set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()

quillon_link("${CMAKE_INSTALL_PREFIX}/quillon-record" "${bin_dir}/quillon-record")
quillon_link("${CMAKE_INSTALL_PREFIX}/share/man/man1/quillon-record.1"
             "${xdg_dir}/man/man1/quillon-record.1")

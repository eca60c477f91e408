# Runs at install time: puts the desktop entry (pointing at the installed program)
# and the menu icon under the XDG data folder. QUILLON_XDG_DATA_DIR in the
# environment overrides the configured folder; DESTDIR is honoured by file(INSTALL).
set(xdg_dir "${QUILLON_XDG_DATA_DIR}")
if(NOT "$ENV{QUILLON_XDG_DATA_DIR}" STREQUAL "")
  set(xdg_dir "$ENV{QUILLON_XDG_DATA_DIR}")
endif()
if(NOT IS_ABSOLUTE "${xdg_dir}")
  set(xdg_dir "${CMAKE_INSTALL_PREFIX}/${xdg_dir}")
endif()

file(READ "${QUILLON_DESKTOP_ENTRY}" entry)
string(REPLACE "/opt/QUILLON" "${CMAKE_INSTALL_PREFIX}" entry "${entry}")
file(WRITE "${QUILLON_STAGING_DIR}/desktop/quillon.desktop" "${entry}")

file(INSTALL DESTINATION "${xdg_dir}/applications" TYPE FILE
  FILES "${QUILLON_STAGING_DIR}/desktop/quillon.desktop")
file(INSTALL DESTINATION "${xdg_dir}/icons/hicolor/256x256/apps" TYPE FILE
  FILES "${QUILLON_ICON_PNG}")
